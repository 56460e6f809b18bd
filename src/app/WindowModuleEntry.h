#pragma once

// The window application is a module of its own, loaded only when the
// program starts without /C, so that the console command never loads the
// window toolkit. The executable carries its own copy of the C++ runtime and
// the module uses the system's, so only plain C data crosses between them:
// the module builds its own application object, which reads the settings and
// the host list, and nothing allocated, thrown or destroyed on one side
// reaches the other.
//
// Runs the window for the process's command line and returns the exit code
// once the window has closed. argc and argv are the process's own; the
// window toolkit may take its own switches out of them.
extern "C" {
using PondelRunMainWindowFunction = int(int* argc, char** argv);
}

// The name the module exports the entry under, with C linkage.
inline constexpr const char* kPondelRunMainWindowSymbol = "PondelRunMainWindow";
