#pragma once

namespace pondel {
class CPondelApp;
}

// The window application is a module of its own, loaded only when the
// program starts without /C, so that the console command never loads the
// window toolkit. The executable and the module are built together from the
// same sources, so the application object crosses as it is.
//
// Runs the window over the application object and returns the exit code
// once the window has closed. argc and argv are the process's own.
using PondelRunMainWindowFunction = int(pondel::CPondelApp* app, int* argc, char** argv);

// The name the module exports the entry under, with C linkage.
inline constexpr const char* kPondelRunMainWindowSymbol = "PondelRunMainWindow";
