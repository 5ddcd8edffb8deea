#include "ui/hexview/HexKeyFilter.h"

#include "buffer/edit/EditCommands.h"

#include <QKeyEvent>
#include <QLineEdit>

bool HexKeyFilter::eventFilter(QObject* watched, QEvent* event)
{
    if (!active_ || event->type() != QEvent::KeyPress) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    const QString text = key->text();
    if (text.size() != 1) return false;
    const char16_t unit = text.front().unicode();
    char c = unit < 0x80 ? char(unit) : '\0';
    if (unit >= 0x80 || !SetDig(c)) return true;
    if (c == 8 || c == 13 || c == 27) return false;
    auto* edit = qobject_cast<QLineEdit*>(watched);
    if (!edit || c == char(unit)) return false;
    edit->insert(QString(QLatin1Char(c))); // the upper-case form of a typed a-f
    return true;
}
