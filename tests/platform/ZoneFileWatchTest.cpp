#include "platform/posix/ZoneFileWatch.h"

#include <fstream>

#include <gtest/gtest.h>

#include "fakes/TempFolder.h"

namespace orvelle {
namespace {

namespace fs = std::filesystem;

// Each way the zone file changes on a real system, reported once, and nothing else reported:
// timedatectl renames a new link over the old one, an administrator rewrites a copied file in
// place, and a package removes it.
TEST(ZoneFileWatch, ReportsEachWayTheZoneFileChangesOnce) {
    const test::TempFolder folder;
    const fs::path zone = folder / "localtime";
    fs::create_symlink("/usr/share/zoneinfo/Asia/Shanghai", zone);
    ZoneFileWatch watch(zone.string());
    ASSERT_TRUE(watch.watching());
    EXPECT_FALSE(watch.changed());

    std::ofstream(folder / "unrelated") << "x";
    EXPECT_FALSE(watch.changed()) << "another file of the folder";

    fs::create_symlink("/usr/share/zoneinfo/Asia/Tokyo", folder / "localtime.new");
    fs::rename(folder / "localtime.new", zone);
    EXPECT_TRUE(watch.changed()) << "a new link renamed over it";
    EXPECT_FALSE(watch.changed()) << "reported once";

    fs::remove(zone);
    fs::copy_file("/usr/share/zoneinfo/Europe/Berlin", zone);
    EXPECT_TRUE(watch.changed()) << "replaced by a copy";
    EXPECT_FALSE(watch.changed());
    std::ofstream(zone, std::ios::app) << "\n";
    EXPECT_TRUE(watch.changed()) << "the copy rewritten in place";
    EXPECT_FALSE(watch.changed());

    fs::remove(zone);
    EXPECT_TRUE(watch.changed()) << "removed";

    // A link to a file elsewhere, which is rewritten where it lies: only the file's watch sees it.
    const test::TempFolder elsewhere;
    fs::copy_file("/usr/share/zoneinfo/Asia/Tokyo", elsewhere / "zone");
    fs::create_symlink(elsewhere / "zone", zone);
    EXPECT_TRUE(watch.changed());
    std::ofstream(elsewhere / "zone", std::ios::app) << "\n";
    EXPECT_TRUE(watch.changed()) << "the file the link names rewritten";
    EXPECT_TRUE(watch.watching());

    // Through a second link, which the system may retarget unseen: the caller must check itself.
    fs::create_symlink("/usr/share/zoneinfo/Asia/Tokyo", elsewhere / "current");
    fs::remove(zone);
    fs::create_symlink(elsewhere / "current", zone);
    EXPECT_TRUE(watch.changed());
    EXPECT_FALSE(watch.watching()) << "a link to a link";

    // Without a folder to watch, every call says changed.
    ZoneFileWatch lost("/nonexistent-folder/localtime");
    EXPECT_FALSE(lost.watching());
    EXPECT_TRUE(lost.changed() && lost.changed());
}

}  // namespace
}  // namespace orvelle
