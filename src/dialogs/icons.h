#pragma once
#include <QIcon>

// The configuration dialog's button pictures, painted here rather than
// shipped as files.
namespace dialogs {

enum class ArrowIcon { Up, Left, Right, Down };

QIcon arrowIcon(ArrowIcon direction);
// grow: solid frame around a dotted smaller square; shrink: the reverse.
QIcon sizeIcon(bool grow);

}  // namespace dialogs
