#pragma once

#include <QLineEdit>

// A time field "HH:MM": only digits in the four digit positions, a fixed
// colon, a blank where a digit is missing. It refuses to be left while a
// digit position is unfilled.
class TimeEdit : public QLineEdit {
public:
    TimeEdit(const QString& objectName, QRect geometry, QWidget* parent);

protected:
    void focusOutEvent(QFocusEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    bool mayLoseFocus() const;
};
