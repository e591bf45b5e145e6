#pragma once
// The main window: transcript, input, suggestion list and buttons.
#include <QWidget>
