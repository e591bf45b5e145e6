#include "Mesager.h"

#include <QDesktopServices>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStringList>
#include <QUrl>

#include "design.h"
#include "window_frame.h"

namespace windows {

namespace {

using design::SetColour;
using namespace design::about;

QFont TimesNewRoman(int pixels, bool bold = false) {
    return design::Font(QStringLiteral("Times New Roman"), pixels, bold);
}

const QStringList& SourceLines() {
    static const QStringList lines{
        QStringLiteral("Материалы использованные при разработке программы:"),
        QStringLiteral("Всемирная организация здравоохранения (who.int)"),
        QStringLiteral("Министерство здравоохранения Российской Федерации (minzdrav.gov.ru)"),
        QStringLiteral("Роспотребнадзор (rospotrebnadzor.ru)"),
        QStringLiteral("Большая медицинская энциклопедия"),
        QStringLiteral("Краткая медицинская энциклопедия"),
        QStringLiteral("Популярная медицинская энциклопедия"),
        QStringLiteral("Энциклопедический словарь медицинских терминов"),
        QStringLiteral("Справочник фельдшера"),
        QStringLiteral("Справочник практического врача"),
        QStringLiteral("Справочник «Первая помощь»"),
        QStringLiteral("MedlinePlus (medlineplus.gov)"),
        QStringLiteral("NHS Choices (nhs.uk)"),
    };
    return lines;
}

}  // namespace

TViw::TViw(QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("Viw"));
    setWindowTitle(QStringLiteral("Целитор. Демонстрационная версия"));
    setAttribute(Qt::WA_QuitOnClose, false);
    setFixedSize(kClient);
    setFont(TimesNewRoman(16));
    SetColour(this, QPalette::Window, design::kAboutColour);
    SetColour(this, QPalette::WindowText, Qt::black);
    setAutoFillBackground(true);

    Label1 = new QLabel(QStringLiteral("\"Целитор\" Демонстрационная версия"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(kLabel1);
    Label1->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Label1->setFont(TimesNewRoman(24, true));
    SetColour(Label1, QPalette::WindowText, design::kMaroon);

    Label2 = new QLabel(QStringLiteral("Проект «Целитор», Казань, 2026"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setGeometry(kLabel2);
    Label2->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    SetColour(Label2, QPalette::WindowText, design::kTeal);

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setGeometry(kMemo1);
    Memo1->setFont(TimesNewRoman(17));
    Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setTabChangesFocus(true);
    SetColour(Memo1, QPalette::Base, design::kAboutMemoColour);
    SetColour(Memo1, QPalette::Text, Qt::black);
    Memo1->setPlainText(SourceLines().join(u'\n'));
    Memo1->setAccessibleName(QStringLiteral("Источники сведений"));

    Button1 = new QPushButton(QStringLiteral("Закрыть"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(kButton1);
    Button2 = new QPushButton(QStringLiteral("Перейти на сайт разработчика"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setGeometry(kButton2);
    for (QWidget* widget : {static_cast<QWidget*>(Label1), static_cast<QWidget*>(Label2),
                            static_cast<QWidget*>(Button1), static_cast<QWidget*>(Button2)}) {
        widget->setAccessibleName(widget->property("text").toString());
    }

    setTabOrder(Button1, Memo1);
    setTabOrder(Memo1, Button2);
    connect(Button1, &QPushButton::clicked, this, &TViw::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TViw::Button2Click);
    FormCreate();
}

void TViw::FormCreate() {
    Button1->setDefault(true);
    Button1->setFocus();
    lastFocus_ = Button1;
}

void TViw::ShowModal() {
    // Closed while minimised, the window still comes back in front of the user.
    if (isMinimized()) setWindowState(windowState() & ~Qt::WindowMinimized);
    exec();
}

void TViw::Button1Click() { close(); }

void TViw::Button2Click() {
    // Whether a browser starts is the desktop's business; nothing is reported either way.
    QDesktopServices::openUrl(QUrl(QString::fromUtf16(kDeveloperPage)));
}

void TViw::showEvent(QShowEvent* event) {
    // A spontaneous show is the window manager giving the window back after a minimise:
    // the window is still where the user had it.
    if (event->spontaneous()) {
        QDialog::showEvent(event);
        return;
    }
    if (!shownOnce_) {
        shownOnce_ = true;
        const QScreen* screen = QGuiApplication::primaryScreen();
        if (const QWidget* owner = parentWidget()) screen = owner->screen();
        // Centred by its outer edges, frame included, before it reaches the screen.
        // On a screen too small for it, it is made as much smaller as it must be to fit.
        if (screen) {
            const QMargins frame = FrameBeforeShow(this).value_or(QMargins());
            const QRect area = screen->availableGeometry();
            const QSize client = FittedClient(kClient, frame, area);
            if (client != size()) setFixedSize(client);
            setGeometry(CentredClient(client, frame, area));
        }
    } else {
        move(lastPos_);
    }
    QDialog::showEvent(event);
    if (lastFocus_) lastFocus_->setFocus(Qt::OtherFocusReason);
}

void TViw::hideEvent(QHideEvent* event) {
    // A minimise hides the window spontaneously, still at its place; closed while
    // minimised, it keeps the place noted then.
    if (event->spontaneous() || !isMinimized()) lastPos_ = pos();
    if (!event->spontaneous()) {
        if (QWidget* focus = focusWidget()) lastFocus_ = focus;
    }
    QDialog::hideEvent(event);
}

}  // namespace windows
