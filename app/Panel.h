#pragma once

#include "app/Icons.h"

#include <QFrame>

class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

// Tahoma, or the metric-compatible Liberation Sans where Tahoma is not
// installed, at the given point (or, with pixels, pixel) size.
QFont programFont(int size, bool pixels = false);

// The one look every panel shares: a raised inner and a lowered outer bevel,
// a two-pixel rule, a navy title and 40 x 40 flat image buttons. Panels are
// placed on the main window's client area and never moved by the user.
class Panel : public QFrame {
public:
    Panel(const QString& objectName, QSize size, QWidget* parent);

    // Panel position on a client area of the given size: each half truncated
    // on its own before the subtraction.
    static QPoint centredIn(QSize client, QSize panel);

protected:
    void paintEvent(QPaintEvent* event) override;

    static QLabel* addLabel(QWidget* parent, const QString& name, QPoint at, const QString& text);
    static QFrame* addRule(QWidget* parent, const QString& name, QRect geometry);
    QLabel* addTitle(const QString& name, QPoint at, const QString& text);
    QToolButton* addImageButton(const QString& name, QRect geometry, Icons::PanelButton image, const QString& hint);
    // Shows a stored text in a field whole: the field's typing limit grows
    // to the text's length where that is longer (a text written elsewhere),
    // and is the limit again for a shorter or empty text.
    static void showStoredText(QLineEdit* field, const QString& text, int typingLimit);
    static QPushButton* addButton(QWidget* parent, const QString& name, QRect geometry, const QString& text);
    // "Töröl": bold and maroon while it can be pressed, greyed like any
    // other button while it cannot.
    static QPushButton* addDeleteButton(QWidget* parent, const QString& name, QRect geometry);
};

// An editor sub-panel with the same bevels.
class BevelPanel : public QFrame {
public:
    BevelPanel(const QString& objectName, QRect geometry, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
};
