#pragma once

#include <QGroupBox>

class QLineEdit;
class QPushButton;

// The fill box (GB1): a small floating box over the hex view with the fill value field EFill
// (two hexadecimal characters) and its "OK" button FillBuf. Hidden until opened.
class HexFillBox : public QGroupBox {
    Q_OBJECT
public:
    explicit HexFillBox(QWidget* parent);

    // Shows the box with its caption, empties the field and focuses it.
    void open(const QString& caption);
    QLineEdit* EFill() const { return fill_; }
    QPushButton* FillBuf() const { return ok_; }

signals:
    // OK was clicked: value 0-255, or -1 when the field was empty (nothing to fill). The box has
    // hidden itself; the receiver fills and marks the buffer modified.
    void fillRequested(int value);

public slots:
    void FillBufClick();

protected:
    void keyPressEvent(QKeyEvent* event) override; // Esc hides the box

private:
    QLineEdit* fill_;
    QPushButton* ok_;
};
