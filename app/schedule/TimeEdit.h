#pragma once

#include <QLineEdit>

// A time field "HH:MM": only digits in the four digit positions, a fixed
// colon, a blank where a digit is missing. It refuses to be left while a
// digit position is unfilled, except for the widgets it is told may take
// the focus anyway (the editor's save and cancel buttons, which check or
// abandon what it holds).
class TimeEdit : public QLineEdit {
public:
    TimeEdit(const QString& objectName, QRect geometry, QWidget* parent);

    void allowFocusTo(QList<QWidget*> widgets) { m_mayTakeFocus = std::move(widgets); }

protected:
    void focusOutEvent(QFocusEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    bool mayLoseFocus() const;
    bool mayLoseFocusTo(QWidget* next) const;

    QList<QWidget*> m_mayTakeFocus;
};
