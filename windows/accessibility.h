#pragma once
// The roles assistive technology hears for the program's own widget classes: the main window
// and the viewer are windows (a plain QWidget would be a "filler"), panels are panes (a
// QFrame would be a "frame", which is a top-level role), the splitter a splitter, the find
// bar a group of its own, and the article a document whose text can be read (a
// QTextBrowser would be a "label").
namespace windows {

// Installs the roles once; later calls do nothing. Call before the first window is shown.
void InstallAccessibleRoles();

}  // namespace windows
