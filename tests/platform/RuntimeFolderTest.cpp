#include "platform/RuntimeFolder.h"

#include <sys/stat.h>
#include <unistd.h>
#include <fstream>

#include <gtest/gtest.h>

namespace orvelle {
namespace {

namespace fs = std::filesystem;
using State = RuntimeFolder::State;

class RuntimeFolderTest : public ::testing::Test {
protected:
    ~RuntimeFolderTest() override { fs::remove_all(root); }

    // Makes `name` in the test's folder as one of the kinds the table names.
    fs::path make(const std::string& name, State kind) {
        const fs::path path = root / name;
        switch (kind) {
            case State::usable:
            case State::foreignOwner:
            case State::openToOthers:
                ::mkdir(path.c_str(), kind == State::openToOthers ? 0755 : 0700);
                ::chmod(path.c_str(), kind == State::openToOthers ? 0755 : 0700);
                if (kind == State::foreignOwner) {
                    EXPECT_EQ(::chown(path.c_str(), 65534, 65534), 0);
                }
                break;
            case State::notAFolder:
                std::ofstream(path) << "x";
                break;
            case State::symlink:
                fs::create_symlink(make(name + "-target", State::usable), path);
                break;
            case State::missing:
            case State::unreadable:
                break;
        }
        return path;
    }

    // Only root can give a folder to another user.
    static bool canChown() { return ::geteuid() == 0; }

    fs::path root = [] {
        std::string pattern = "/tmp/orvelle-runtime-XXXXXX";
        return fs::path(::mkdtemp(pattern.data()));
    }();
};

TEST_F(RuntimeFolderTest, OnlyAFolderOfOursWithMode0700IsUsable) {
    for (const State kind : {State::usable, State::missing, State::notAFolder, State::symlink,
                             State::openToOthers, State::foreignOwner}) {
        if (kind == State::foreignOwner && !canChown()) {
            continue;
        }
        const std::string name = "case" + std::to_string(static_cast<int>(kind));
        EXPECT_EQ(RuntimeFolder::inspect(make(name, kind)), kind) << name;
    }
    // Creating makes a usable folder, and keeps what someone else put there first as it was.
    EXPECT_EQ(RuntimeFolder::create(root / "new"), State::usable);
    EXPECT_EQ(RuntimeFolder::create(make("taken", State::symlink)), State::symlink);
    EXPECT_EQ(RuntimeFolder::create(make("open", State::openToOthers)), State::openToOthers);
}

TEST_F(RuntimeFolderTest, ChoosesTheFirstUsableCandidateTheSameWayEveryTime) {
    const State taken = canChown() ? State::foreignOwner : State::symlink;
    struct Row {
        State runtime;
        State temporary;
        std::string chosen;
    };
    for (const Row& row : {Row{State::usable, State::usable, "runtime"},
                           Row{State::missing, State::missing, "temporary"},
                           Row{State::openToOthers, taken, "cache"},
                           Row{State::symlink, State::notAFolder, "cache"}}) {
        fs::remove_all(root);
        fs::create_directory(root);
        const RuntimeFolder::Candidates candidates{make("runtime", row.runtime),
                                                   make("temporary", row.temporary),
                                                   root / "home/.cache/orvelle"};
        const fs::path wanted = root / (row.chosen == "cache" ? "home/.cache/orvelle" : row.chosen);
        EXPECT_EQ(RuntimeFolder::choose(candidates).folder, wanted) << row.chosen;
        // A later instance must land in the same folder to find the first.
        EXPECT_EQ(RuntimeFolder::choose(candidates).folder, wanted) << row.chosen;
        EXPECT_EQ(RuntimeFolder::inspect(wanted), State::usable) << row.chosen;
    }
    make("file", State::notAFolder);
    const auto none = RuntimeFolder::choose({root / "no", make("t", taken), root / "file/orvelle"});
    EXPECT_TRUE(none.folder.empty());
    EXPECT_NE(none.error.find((root / "t").string()), std::string::npos) << none.error;
    EXPECT_NE(none.error.find("Not a directory"), std::string::npos) << none.error;
}

}  // namespace
}  // namespace orvelle
