#pragma once
// Program entry and the program-wide objects that live as long as the process.

#include <QString>
#include <memory>

class CIni;
class DocumentReader;
class Form_Main;

// The installation's product information (product name, web address).
CIni &ProductInfo();

// The program-wide document reader, set up by Main; null when it could not
// be set up (documents are then read as system code page text).
DocumentReader *Converter();

// "Software\Mavi Technology\" + the product name: the product's key under
// the current user's registry root.
QString GetProductKey();

// Creates the program-wide objects and shows the main window. Returns the
// window, or nothing when start-up ended the program.
std::unique_ptr<Form_Main> Main();

// Releases the program-wide objects at the end.
void ReleaseProgramObjects();

// Everything main() does once the application object exists: the window, its
// event loop and the release at the end. Returns the exit status.
int RunProgram();

// SIGTERM, SIGINT and SIGHUP close the window the normal way (settings are
// written, failures only logged, no box shown) and end the program within
// two seconds, even from inside a message box.
void InstallTerminationHandler();

// What a termination signal does, callable directly.
void Terminate();
