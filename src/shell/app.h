#pragma once
// The program's start-up, event loop and end.

// Closes every window through its close guard; the program ends only when all agreed. False
// when one stayed open.
bool quitProgram();
// The whole start-up and event loop; documents are opened once the main window exists.
int runProgram(int argc, char** argv);
