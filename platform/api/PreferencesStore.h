#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace orvelle {

// A stored value of a kind this program never writes (an object, or an array of anything but
// integers, that somebody put into the file by hand). It is present, but nothing this program
// reads.
struct ForeignValue {
    bool operator==(const ForeignValue&) const = default;
};

// One stored preference value. Text stays text; integers and doubles stay what they were written
// as, and both count as numbers when read. A boolean is an on/off setting: it never reads as a
// number, and no number reads as one.
// A list of integers is a set of choices (the working days of the week).
using IntegerList = std::vector<std::int64_t>;
using PreferenceValue =
    std::variant<std::string, double, std::int64_t, bool, IntegerList, ForeignValue>;

// The per-user preferences store: a flat map from keys to typed values that survives relaunches.
// Each change reaches storage at once, unless a `Batch` is open: then all the changes made while
// it lives reach storage together, in one write, when the last open batch ends. That is what keeps
// one operation (starting work, the day's reset) whole on disk if the process dies halfway.
class PreferencesStore {
public:
    virtual ~PreferencesStore() = default;

    // Returns what is stored under `key`, or nothing when the key is absent.
    virtual std::optional<PreferenceValue> value(std::string_view key) const = 0;

    // Stores `value` under `key`, replacing whatever was there.
    void set(std::string_view key, PreferenceValue value);

    // Removes `key`; removing an absent key is harmless and writes nothing.
    void remove(std::string_view key);

    // Returns whether anything at all is stored under `key`.
    bool contains(std::string_view key) const { return value(key).has_value(); }

    // Returns the text under `key`, or nothing when it is absent or not text.
    std::optional<std::string> text(std::string_view key) const;

    // Returns the number under `key` as a double; 0 when it is absent or not a number.
    double number(std::string_view key) const;

    // Returns the number under `key` if a number, or text that reads as a finite C-locale number
    // as a whole ("22", "21.75"), is stored there.
    std::optional<double> numberIfPresent(std::string_view key) const;

    // Returns the number under `key` as a 64-bit integer (truncated, saturated); 0 when absent.
    std::int64_t integer(std::string_view key) const;

    // Returns the boolean under `key`, or nothing when it is absent or not a boolean.
    std::optional<bool> flag(std::string_view key) const;

    // Returns the list of integers under `key`, or nothing when it is absent or not such a list.
    std::optional<IntegerList> integers(std::string_view key) const;

    // Holds back every write of its store until it ends; batches may nest.
    class Batch {
    public:
        explicit Batch(PreferencesStore& store);
        ~Batch();
        Batch(Batch&& other) noexcept;
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;
        Batch& operator=(Batch&&) = delete;

    private:
        PreferencesStore* store_;
    };

protected:
    // Stores `value` under `key` in memory.
    virtual void assign(std::string_view key, PreferenceValue value) = 0;
    // Removes `key` from memory; returns whether it was there.
    virtual bool erase(std::string_view key) = 0;
    // Makes everything assigned or erased so far durable.
    virtual void persist() = 0;

private:
    void changed();
    void endBatch();

    int openBatches_ = 0;
    bool unsaved_ = false;
};

}  // namespace orvelle
