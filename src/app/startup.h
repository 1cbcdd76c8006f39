#pragma once

// The steps from process start to exit, in the order they run.

// The framework's classes, then the program's: App, Window1, MenuBar1.
void RegisterClasses();
// Everything from setting up to the end of the event loop, inside one catch-all that hands an escaping
// exception to the framework's report.
void Main();
// Setting up, from the framework's external classes to the main window on screen.
void SetUp();
void InitFileTypes();
void NewAppInstance();
void ApplicationAddMenuHandlers();
void MakeDefaultView();
// The module-level objects, last of all: the framework's window lists, the menu bar, the file type.
void ReleaseModuleObjects();
