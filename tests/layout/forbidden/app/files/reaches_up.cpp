// A feature reaching into the main window's folder: the floor check must refuse it.
#include "app/files/f_rename.h"
#include "app/viewer/main_window.h"
