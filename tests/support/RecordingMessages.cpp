#include "support/RecordingMessages.h"

UserMessages::Answer RecordingMessages::show(const QString& text, const QString& caption, Icon icon, Buttons buttons)
{
    boxes.append({text, caption, icon, buttons});
    if (buttons == Buttons::Ok)
        return Answer::Ok;
    return m_script.isEmpty() ? Answer::No : m_script.takeFirst();
}

QStringList RecordingMessages::captions() const
{
    QStringList result;
    for (const Box& box : boxes)
        result << box.caption;
    return result;
}
