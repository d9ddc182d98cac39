#pragma once

// Ctrl+C (SIGINT) and SIGTERM for morvane-export: once installed, either
// only raises a flag, which a long calculation reads between its pieces of
// work; the command then writes nothing and the program ends by the same
// signal, so that a shell running it in a script stops as well.
class Interruption {
public:
    // The program's own handlers; a test running the command in its
    // process leaves them alone.
    static void install();
    static bool requested();
    // Ends the process by the signal that was caught, with its default
    // action, when one was; returns otherwise.
    static void endBySignal();
};
