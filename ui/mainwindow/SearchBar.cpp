// The search field of TFMain's buffer tool bar: its initial text, the clear button, the key filter
// of the hexadecimal search and the search kind box.
#include "ui/hexview/HexKeyFilter.h"
#include "ui/hexview/HexView.h"
#include "ui/mainwindow/TFMain.h"

#include <QAction>
#include <QComboBox>
#include <QEvent>
#include <QLineEdit>
#include <QToolButton>
#include <algorithm>

namespace {
const QString initialText = QStringLiteral("Enter text or hex data to search for:");
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
            if (field->text() == initialText) field->clear();
        }
        return false;
    }
};
} // namespace

void TFMain::connectSearch()
{
    // Wide enough to show the whole invitation.
    findField->setText(initialText);
    findField->setFixedWidth(
        std::max(DesignWidth, findField->fontMetrics().horizontalAdvance(initialText) + TextMargins));
    auto* clear = new QToolButton(findField);
    clear->setObjectName(QStringLiteral("ClearButton"));
    clear->setText(QStringLiteral("X"));
    clear->setAutoRaise(true);
    clear->setCursor(Qt::ArrowCursor);
    clear->setFixedSize(ClearButtonSize, ClearButtonSize);
    clear->move(findField->width() - ClearButtonSize - 2, (findField->height() - ClearButtonSize) / 2);
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
