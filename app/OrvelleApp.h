#pragma once

namespace orvelle {

// The program's entry: starts Qt, keeps to one instance per user, and hands over to
// the application delegate once the event loop runs.
class OrvelleApp {
public:
    // Runs the application until it quits; returns the process's exit status.
    static int main(int argc, char** argv);
};

}  // namespace orvelle
