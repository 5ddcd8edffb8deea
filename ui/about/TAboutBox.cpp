#include "ui/about/TAboutBox.h"

#include "session/Language.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QSvgWidget>
#include <QTextEdit>
#include <QUrlQuery>
#include <QVBoxLayout>

TAboutBox::TAboutBox(AboutBoxContext context, QWidget* parent) : QDialog(parent), ctx_(std::move(context))
{
    setObjectName(QStringLiteral("TAboutBox"));
    setWindowTitle(Localized("About Vespera", "О программе Vespera"));
    setFixedSize(kWidth, kHeight);

    auto* picture = new QSvgWidget(QStringLiteral(":/about/banner.svg"), this);
    picture->setObjectName(QStringLiteral("ProgramIcon"));
    picture->setFixedSize(360, 120); // the drawing is stretched to the box

    auto* productName = new QLabel(QStringLiteral("Vespera Programmer"), this);
    productName->setObjectName(QStringLiteral("ProductName"));
    QFont bold = productName->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.3);
    productName->setFont(bold);
    auto* version = new QLabel(Localized("Version ", "Версия ") + ctx_.programVersion, this);
    version->setObjectName(QStringLiteral("Version"));
    auto* notice = new QLabel(Localized("Copyright © 2024–2026 the Vespera developers.\n"
                                        "Free for repair shops, makers and everyone else.",
                                        "© 2024–2026 разработчики Vespera.\n"
                                        "Свободно для мастерских, самодельщиков и всех остальных."),
                              this);
    notice->setObjectName(QStringLiteral("Copyright"));
    Comments = link("Comments", ctx_.mail);
    Url = link("Url", ctx_.site);

    auto* memo = new QTextEdit(this);
    memo->setObjectName(QStringLiteral("Memo1"));
    memo->setReadOnly(true);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo->setLineWrapMode(QTextEdit::WidgetWidth);
    QPalette blue = memo->palette();
    blue.setColor(QPalette::Text, Qt::blue);
    memo->setPalette(blue);
    memo->setPlainText(ctx_.information);

    auto* check = new QPushButton(Localized("Check for updates", "Проверить обновления"), this);
    check->setObjectName(QStringLiteral("ChUpdButton"));
    UpdateAnswer = new QLabel(this);
    UpdateAnswer->setObjectName(QStringLiteral("UpdateAnswer"));
    UpdateAnswer->setWordWrap(true);
    UpdateAnswer->hide();
    connect(check, &QPushButton::clicked, this, [this] {
        showUpdateAnswer(Localized("Checking for updates...", "Проверка обновлений..."));
        if (ctx_.checkForUpdates) ctx_.checkForUpdates();
    });
    auto* close = new QPushButton(Localized("Close", "Закрыть"), this);
    close->setObjectName(QStringLiteral("OKButton"));
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(check);
    buttons->addStretch(1);
    buttons->addWidget(close);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(10, 10, 10, 10);
    column->addWidget(picture, 0, Qt::AlignHCenter);
    for (QWidget* w : std::initializer_list<QWidget*>{productName, version, notice, Comments, Url})
        column->addWidget(w);
    column->addWidget(memo, 1);
    column->addWidget(UpdateAnswer);
    column->addLayout(buttons);
}

void TAboutBox::showUpdateAnswer(const QString& text)
{
    UpdateAnswer->setText(text);
    UpdateAnswer->show();
}

QLabel* TAboutBox::link(const char* name, const QString& text)
{
    auto* label = new QLabel(text, this);
    label->setObjectName(QLatin1String(name));
    label->setCursor(Qt::PointingHandCursor);
    QFont underlined = label->font();
    underlined.setUnderline(true);
    label->setFont(underlined);
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, p.color(QPalette::Link));
    label->setPalette(p);
    label->installEventFilter(this);
    return label;
}

QUrl TAboutBox::mailUrl() const
{
    QUrl url(QStringLiteral("mailto:") + ctx_.mail);
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("subject"), ctx_.mailSubject);
    url.setQuery(query);
    return url;
}

bool TAboutBox::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonRelease && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton &&
        (watched == Comments || watched == Url) && ctx_.openUrl) {
        ctx_.openUrl(watched == Comments ? mailUrl() : QUrl(ctx_.downloadPage));
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
