#include "ui/mainwindow/EmulatedChipDialog.h"

#include "session/Language.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QStringListModel>
#include <QVBoxLayout>
#include <algorithm>

EmulatedChipDialog::EmulatedChipDialog(const QStringList& chips, const QString& current, QWidget* parent)
    : QDialog(parent), emptySocket(Localized("(empty socket)", "(пустая панелька)"))
{
    setObjectName(QStringLiteral("EmulatedChipDialog"));
    setWindowTitle(Localized("Put chip", "Вставить чип"));
    auto* label = new QLabel(
        Localized("Chip for the emulated adapter's socket:", "Чип для панельки эмулируемого адаптера:"), this);
    filter = new QLineEdit(this);
    filter->setObjectName(QStringLiteral("Filter"));
    filter->setPlaceholderText(Localized("Filter, for example 25Q64", "Фильтр, например 25Q64"));
    filter->setClearButtonEnabled(true);
    label->setBuddy(filter);

    auto* names = new QStringListModel(QStringList{emptySocket} + chips, this);
    shown = new QSortFilterProxyModel(this);
    shown->setSourceModel(names);
    shown->setFilterCaseSensitivity(Qt::CaseInsensitive);
    view = new QListView(this);
    view->setObjectName(QStringLiteral("Chips"));
    view->setModel(shown);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setUniformItemSizes(true);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(filter);
    layout->addWidget(view);
    layout->addWidget(buttons);
    resize(320, 420);

    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(view, &QListView::doubleClicked, this, &QDialog::accept);
    connect(filter, &QLineEdit::textChanged, this, [this, buttons](const QString& text) {
        shown->setFilterFixedString(text);
        selectShown();
        buttons->button(QDialogButtonBox::Ok)->setEnabled(chosen().has_value());
    });
    filter->installEventFilter(this);

    const int row = current.isEmpty() ? 0 : int(chips.indexOf(current)) + 1;
    view->setCurrentIndex(shown->index(std::max(row, 0), 0));
    view->scrollTo(view->currentIndex(), QAbstractItemView::PositionAtCenter);
    filter->setFocus();
}

// Up, Down and the page keys in the filter field move through the list; Enter takes its chip.
bool EmulatedChipDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == filter && event->type() == QEvent::KeyPress) {
        const auto* press = static_cast<QKeyEvent*>(event);
        const int key = press->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp || key == Qt::Key_PageDown) {
            QKeyEvent copy(QEvent::KeyPress, key, press->modifiers());
            QCoreApplication::sendEvent(view, &copy);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

// The chip named exactly by the filter, else the chip still selected, else the first one shown.
void EmulatedChipDialog::selectShown()
{
    const QModelIndexList exact =
        shown->match(shown->index(0, 0), Qt::DisplayRole, filter->text(), 1, Qt::MatchFixedString);
    if (!exact.isEmpty())
        view->setCurrentIndex(exact.first());
    else if (!view->currentIndex().isValid() && shown->rowCount() > 0)
        view->setCurrentIndex(shown->index(0, 0));
}

std::optional<QString> EmulatedChipDialog::chosen() const
{
    const QModelIndex index = view->currentIndex();
    if (!index.isValid()) return std::nullopt;
    const QString text = index.data().toString();
    return text == emptySocket ? QString() : text;
}
