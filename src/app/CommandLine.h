#pragma once

// The program without a window: options applied in order, messages on standard error.
//   --exec STATEMENT, --eval EXPRESSION      run through the engine as the window's load leaves it
//   --set NAME=VALUE, --constant TEXT, --press NAME, --open FILE
//   --left FILE, --right FILE, --save FILE, --report FILE, --pdf FILE, --anaglyph FILE, --pair
//   FILE,
//   --pair-parallel FILE
// Exit status: 0 when nothing was reported, 1 when an error was reported, 2 for bad usage.
namespace CommandLine {
int run(int argc, char** argv);
} // namespace CommandLine
