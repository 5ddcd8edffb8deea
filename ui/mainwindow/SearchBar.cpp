// The search field of TFMain's buffer tool bar: its initial text, the clear button, the key filter
// of the hexadecimal search and the search kind box.
#include "session/Language.h"
#include "ui/hexview/HexKeyFilter.h"
#include "ui/hexview/HexView.h"
#include "ui/mainwindow/TFMain.h"

#include <QAction>
#include <QComboBox>
#include <QEvent>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QToolButton>
#include <algorithm>

namespace {
const TextPair invitation{"Enter text or hex data to search for:", "Введите текст или hex-данные для поиска:"};
bool IsInvitation(const QString& text)
{
    return text == QString::fromStdString(invitation.en) || text == QString::fromStdString(invitation.ru);
}
constexpr int ClearButtonSize = 20;
constexpr int DesignWidth = 170, TextMargins = 12; // the frame and the field's own margins

// Empties the field the first time it is entered while it still shows its invitation.
class InitialTextFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::FocusIn) {
            auto* field = static_cast<QLineEdit*>(watched);
            if (IsInvitation(field->text())) field->clear();
        }
        return false;
    }
};
} // namespace

void TFMain::connectSearch()
{
    auto* clear = new QToolButton(findField);
    clear->setObjectName(QStringLiteral("ClearButton"));
    clear->setText(QStringLiteral("✕")); // a sign, not a letter of either language
    clear->setAutoRaise(true);
    clear->setCursor(Qt::ArrowCursor);
    clear->setFixedSize(ClearButtonSize, ClearButtonSize);
    clear->hide();
    connect(clear, &QToolButton::clicked, findField, &QLineEdit::clear); // MyButtonClick

    auto* keyFilter = new HexKeyFilter(findField);
    findField->installEventFilter(keyFilter);
    findField->installEventFilter(new InitialTextFilter(findField));

    auto* find = qobject_cast<QAction*>(component(component::SBFind));
    connect(findField, &QLineEdit::textChanged, this, [find, clear](const QString& text) { // EdFindChange
        find->setEnabled(true);
        clear->setVisible(!text.isEmpty());
    });
    auto search = [this] { control.SBFindClick(findField->text(), searchKind->currentIndex()); };
    connect(find, &QAction::triggered, this, search);
    connect(findField, &QLineEdit::returnPressed, this, search);                             // EdFindKeyPress: Enter
    connect(searchKind, &QComboBox::currentIndexChanged, this, [this, keyFilter](int kind) { // CBSearchChange
        keyFilter->setActive(kind == 0);
        findField->clear();
        hexView->setSelection(0, 0);
        findField->setFocus();
    });
    connect(qobject_cast<QAction*>(component(component::MmSearch)), &QAction::triggered, findField,
            [this] { findField->setFocus(); }); // MmSearchClick
}

// The invitation in the interface language, once the settings have named it; the field is wide
// enough to show it whole.
void TFMain::applySearchTexts()
{
    const QString text = LocalizedCaption(invitation);
    {
        const QSignalBlocker quiet(findField); // no search to enable: nothing was typed
        findField->setText(text);
    }
    findField->setFixedWidth(std::max(DesignWidth, findField->fontMetrics().horizontalAdvance(text) + TextMargins));
    if (auto* clear = findField->findChild<QToolButton*>(QStringLiteral("ClearButton")))
        clear->move(findField->width() - ClearButtonSize - 2, (findField->height() - ClearButtonSize) / 2);
}
