#pragma once

#include "app/Panel.h"
#include "app/Shell.h"

#include <QList>

// The panels whose inner controls are not built yet: their frame, rule,
// title and the buttons that leave them, and nothing that pretends to work.
namespace PanelShells {

QList<Panel*> create(AppContext& context, QWidget* window);

} // namespace PanelShells
