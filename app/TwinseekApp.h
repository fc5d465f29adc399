#pragma once

// The application object: initialises the common controls and runs the main
// window modally; the program ends when that returns.
class CTwinseekApp {
public:
    // Always FALSE, so the program ends after the dialog returns.
    int InitInstance();
};
