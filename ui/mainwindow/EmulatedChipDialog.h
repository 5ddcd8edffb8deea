#pragma once
// Chooses the chip for the emulated adapter's socket: a filter field over the database chips the
// emulator can hold, and the empty socket first. Enter or a double click takes the chip, Esc
// cancels.
#include <QDialog>
#include <QString>
#include <QStringList>
#include <optional>

class QLineEdit;
class QListView;
class QSortFilterProxyModel;

class EmulatedChipDialog : public QDialog {
    Q_OBJECT
public:
    EmulatedChipDialog(const QStringList& chips, const QString& current, QWidget* parent = nullptr);

    // The chip chosen (empty: the empty socket); nullopt when nothing is selected.
    std::optional<QString> chosen() const;

    QLineEdit* filterField() const { return filter; }
    QListView* list() const { return view; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void selectShown();

    QLineEdit* filter;
    QListView* view;
    QSortFilterProxyModel* shown;
    QString emptySocket; // the text of the empty socket's row
};
