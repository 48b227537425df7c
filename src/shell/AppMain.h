#pragma once
// Program entry and the program-wide objects that live as long as the process.

#include <QString>
#include <memory>

class CIni;
class Form_Main;

// The installation's product information (product name, web address).
CIni &ProductInfo();

// "Software\Mavi Technology\" + the product name: the product's key under
// the current user's registry root.
QString GetProductKey();

// Creates the program-wide objects and shows the main window. Returns the
// window, or nothing when start-up ended the program.
std::unique_ptr<Form_Main> Main();

// Releases the program-wide objects at the end.
void ReleaseProgramObjects();
