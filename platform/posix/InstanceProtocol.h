#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvelle {

// The line protocol between a starting instance and the running one, on the running one's local
// socket. A request is one line "orvelle/1 VERB [ARGUMENT...]"; every request is answered with
// one line, "orvelle/1 ok" or "orvelle/1 error REASON". Plain C++, so that it can be fuzzed.
class InstanceProtocol {
public:
    // The longest line either side accepts; a peer that sends more without a newline is dropped.
    static constexpr std::size_t maxLineLength = 4096;

    // What a request asks for. New verbs go here and in the table in the source.
    enum class Verb {
        activate,       // show the settings window
        startWork,      // start work unless working
        stopWork,       // stop work if working
        toggleWork,     // what the settings window's start/stop button does
        show,           // show the capsule
        hide,           // hide the capsule; work goes on
        toggleCapsule,  // show or hide the capsule
        privacy,        // on, off or toggle: masks every amount shown
        clickThrough,   // on, off or toggle: the capsule lets the pointer through
        overnight,      // on, off or toggle: sessions started from now on cross midnight
        autoStart,      // on, off or toggle: work starts by itself on working days
        countdown,      // on, off or toggle: the capsule shows the time left to the end of work
    };

    struct Request {
        Verb verb;
        std::vector<std::string> arguments;
    };

    // Returns the request `line` (without its newline) holds, or nothing when it is not one this
    // version understands; `why` then says what is wrong, in a word fit for an error answer.
    static std::optional<Request> parseRequest(std::string_view line, std::string* why = nullptr);

    // Returns the line, newline included, that sends `request`.
    static std::string requestLine(const Request& request);

    // Returns the answer lines, newline included.
    static std::string okLine();
    static std::string errorLine(std::string_view reason);

    // Returns whether `line` (without its newline) is the answer that a request was carried out.
    static bool isOk(std::string_view line);
};

// Cuts a byte stream into lines, holding at most a bounded number of bytes of an unfinished line.
class LineSplitter {
public:
    explicit LineSplitter(std::size_t maxLineLength = InstanceProtocol::maxLineLength)
        : maxLineLength_(maxLineLength) {}

    // Adds `bytes` and appends each line they complete to `lines`, without its "\n" or "\r\n".
    // Returns false, and takes nothing more, once a line grows past the limit.
    bool feed(std::string_view bytes, std::vector<std::string>& lines);

private:
    std::size_t maxLineLength_;
    std::string pending_;
    bool overflowed_ = false;
};

}  // namespace orvelle
