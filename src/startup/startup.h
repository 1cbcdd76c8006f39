#pragma once

// The steps from process start to exit, in the order they run. The run's end is not among them: the
// framework's Runtime, made before them, ends the run however they are left, releasing the windows, then the
// module-level objects newest first (the menu bar, then the file type), then the framework itself.

// The program's classes, after the framework's: App, Window1, MenuBar1.
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
