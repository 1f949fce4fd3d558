#pragma once

#include <QIcon>

// The program's own images, painted rather than loaded: six 32 x 32 toolbar
// images (new month, open month, locations, export, settings, exit) with a
// greyed twin each for the disabled state, and the 40 x 40 panel buttons.
namespace Icons {

enum class Toolbar { NewMonth, OpenMonth, Locations, Export, Settings, Exit };
enum class PanelButton { Cancel, Save, Close, Forward, Letter, Workbook, Print };

QIcon toolbar(Toolbar which);
QIcon panelButton(PanelButton which);

// The greyed version of an image, as the disabled toolbar shows it.
QPixmap greyed(const QPixmap& pixmap);

} // namespace Icons
