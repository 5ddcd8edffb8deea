#pragma once
// The About box: name, version, notice, the maker's e-mail and web links, facts about the
// computer, and the button that requests an update check. It only draws what it is given, its
// buttons in the interface language.

#include <QDialog>
#include <QString>
#include <QUrl>

#include <functional>

class QLabel;
class QPushButton;
class QTextEdit;

struct AboutBoxContext {
    QString programVersion; // "1.0.0"
    QString information;    // the lines of Memo1
    QString mail;           // the Comments link: a new message to this address
    QString mailSubject;
    QString site;         // the Url label's text
    QString downloadPage; // what a click on it opens
    std::function<void()> checkForUpdates;
    std::function<void(const QUrl&)> openUrl; // the desktop's mail program or browser
};

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    static constexpr int kWidth = 380;
    static constexpr int kHeight = 470;

    explicit TAboutBox(AboutBoxContext context, QWidget* parent = nullptr);

    // The message a click on the e-mail link starts: mailto with the subject.
    QUrl mailUrl() const;
    // The answer of an update check, under the information lines.
    void showUpdateAnswer(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* link(const char* name, const QString& text);

    AboutBoxContext ctx_;
    QLabel* Comments = nullptr;
    QLabel* Url = nullptr;
    QLabel* UpdateAnswer = nullptr;
};
