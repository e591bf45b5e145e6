#include "htview.h"

#include <algorithm>
#include <array>

#include <QApplication>
#include <QDesktopServices>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>
#include <QWheelEvent>

#include "accessibility.h"
#include "error_report.h"
#include "design.h"
#include "errors.h"
#include "find_bar.h"
#include "link_policy.h"
#include "page_address.h"
#include "article_browser.h"
#include "panel.h"
#include "window_frame.h"

namespace windows {

namespace {

// Text sizes the zoom steps through, in percent; kNormalZoom is the index of 100.
constexpr std::array kZoomSteps{50, 67, 75, 80, 90, 100, 110, 125, 150, 175, 200, 250, 300};
constexpr int kNormalZoom = 5;
// A browser's normal text: Times New Roman at 12 points (16 pixels at 96 dpi).
constexpr qreal kPageFontPoints = 12.0;

bool IsExternal(const QUrl& url) {
    const QString scheme = url.scheme().toLower();
    return scheme == u"http" || scheme == u"https" || scheme == u"mailto";
}

QShortcut* AddShortcut(QWidget* window, const QList<QKeySequence>& keys) {
    auto* shortcut = new QShortcut(window);
    shortcut->setKeys(keys);
    shortcut->setContext(Qt::WindowShortcut);
    return shortcut;
}

}  // namespace

Thtv::Thtv(QWidget* parent)
    : Thtv(QCoreApplication::applicationDirPath() + QStringLiteral("/bio"), parent) {}

Thtv::Thtv(const QString& articleFolder, QWidget* parent) : QWidget(parent, Qt::Window) {
    InstallAccessibleRoles();
    setObjectName(QStringLiteral("htv"));
    setWindowTitle(QStringLiteral("Просмотр"));
    // Closing the viewer only hides it; it must never keep the program running.
    setAttribute(Qt::WA_QuitOnClose, false);
    setFont(design::Font(QStringLiteral("Tahoma"), 11));

    browser_ = new ArticleBrowser(this);
    browser_->SetArticleFolder(articleFolder);
    wb1 = browser_;
    wb1->setObjectName(QStringLiteral("wb1"));
    wb1->setAccessibleName(QStringLiteral("Статья"));
    wb1->setOpenLinks(false);
    wb1->setOpenExternalLinks(false);
    QFont pageFont(QStringLiteral("Times New Roman"));
    pageFont.setPointSizeF(kPageFontPoints);
    wb1->setFont(pageFont);
    // Pages set their text colours for a light page; under a dark scheme the view's own
    // background would leave them unreadable.
    QPalette pagePalette = wb1->palette();
    pagePalette.setColor(QPalette::Base, design::kPageBackground);
    pagePalette.setColor(QPalette::Text, design::kPageText);
    pagePalette.setColor(QPalette::Link, design::kPageLink);
    pagePalette.setColor(QPalette::LinkVisited, design::kPageLinkVisited);
    wb1->setPalette(pagePalette);
    wb1->viewport()->installEventFilter(this);

    Panel1 = new Panel(QStringLiteral("Panel1"), design::kFieldColour, this);
    Panel1->setAccessibleName(QStringLiteral("Панель инструментов"));
    Panel1->setFixedHeight(design::viewer::kPanel1Height);
    Button1 = new QPushButton(QStringLiteral("Найти на странице"), Panel1);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setAccessibleName(Button1->text());
    Button1->setFixedSize(design::viewer::kButton1);
    // Enter on the focused button presses it, as in the main window.
    Button1->setAutoDefault(true);
    FindBar1 = new FindBar(wb1, Panel1);
    FindBar1->hide();

    auto* tools = new QHBoxLayout(Panel1);
    // The frame is one pixel wide, so the button sits 6 pixels in from the panel's edge.
    tools->setContentsMargins(5, 5, 5, 5);
    tools->setSpacing(8);
    tools->addWidget(Button1, 0, Qt::AlignTop);
    tools->addWidget(FindBar1, 1, Qt::AlignTop);
    tools->addStretch(0);
    FindBar1->setFixedHeight(25);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(Panel1);
    layout->addWidget(wb1, 1);
    setTabOrder(wb1, Button1);
    setTabOrder(Button1, FindBar1->FindEdit);

    connect(Button1, &QPushButton::clicked, this, &Thtv::Button1Click);
    connect(wb1, &QTextBrowser::anchorClicked, this, &Thtv::LinkClicked);
    connect(wb1, &QTextBrowser::sourceChanged, FindBar1, &FindBar::Refresh);

    connect(AddShortcut(this, QKeySequence::keyBindings(QKeySequence::Find)), &QShortcut::activated,
            this, &Thtv::Button1Click);
    connect(AddShortcut(this, {QKeySequence(Qt::Key_F3)}), &QShortcut::activated, FindBar1,
            &FindBar::FindNext);
    connect(AddShortcut(this, {QKeySequence(Qt::SHIFT | Qt::Key_F3)}), &QShortcut::activated,
            FindBar1, &FindBar::FindPrevious);
    connect(AddShortcut(this, {QKeySequence(Qt::Key_Escape)}), &QShortcut::activated, this, [this] {
        if (FindBar1->isVisible()) FindBar1->CloseBar();
    });
    connect(AddShortcut(this, QKeySequence::keyBindings(QKeySequence::Print)),
            &QShortcut::activated, this, &Thtv::Print);
    // Ctrl+W hides the window as its close box does.
    connect(AddShortcut(this, {QKeySequence(Qt::CTRL | Qt::Key_W)}), &QShortcut::activated, this,
            [this] { close(); });
    connect(AddShortcut(this, {QKeySequence(Qt::ALT | Qt::Key_Left)}), &QShortcut::activated, wb1,
            &QTextBrowser::backward);
    connect(AddShortcut(this, {QKeySequence(Qt::ALT | Qt::Key_Right)}), &QShortcut::activated, wb1,
            &QTextBrowser::forward);
    connect(AddShortcut(this, {QKeySequence(Qt::CTRL | Qt::Key_Plus),
                               QKeySequence(Qt::CTRL | Qt::Key_Equal)}),
            &QShortcut::activated, this, &Thtv::ZoomIn);
    connect(AddShortcut(this, {QKeySequence(Qt::CTRL | Qt::Key_Minus)}), &QShortcut::activated,
            this, &Thtv::ZoomOut);
    connect(AddShortcut(this, {QKeySequence(Qt::CTRL | Qt::Key_0)}), &QShortcut::activated, this,
            &Thtv::ZoomReset);

    FormCreate();
}

void Thtv::FormCreate() {
    // The outer size, frame included; until the frame is known it is all client area.
    AskClientSize(OuterSize());
    zoomLevel_ = kNormalZoom;
}

void Thtv::AskClientSize(const QSize& client) {
    askedClient_ = client;
    resize(client);
}

void Thtv::FitOuterSize(const std::optional<QMargins>& frame) {
    // Only while the window has the size the program gave it: once the user has resized it,
    // the user's size stands.
    if (!fittingOuterSize_ || !frame || size() != askedClient_) return;
    const QSize client = OuterSize().shrunkBy(*frame);
    if (client != askedClient_) AskClientSize(client);
}

QSize Thtv::OuterSize() const {
    const QScreen* where = screen();
    if (!where) return design::viewer::kOuter;
    return design::viewer::kOuter.boundedTo(where->availableGeometry().size());
}

void Thtv::ShowHT(const QString& page) {
    RunHandler(ReportParent(), [&] {
        Navigate(article::PageAddress(page));
        ShowWindow();
    });
}

void Thtv::Button1Click() {
    RunHandler(ReportParent(), [&] { FindBar1->Open(); });
}

void Thtv::Navigate(const QUrl& url) {
    const QString path = url.toLocalFile();
    LoadedPage page = LoadPage(path);
    if (page.status == PageStatus::Refused) throw dialogue::DialogueError(ToU16(page.message));
    browser_->Open(url, std::move(page.html), page.shape);
    FindBar1->Refresh();
}

void Thtv::LinkClicked(const QUrl& link) {
    RunHandler(ReportParent(), [&] {
        const QUrl url = wb1->source().resolved(link);
        if (IsExternal(url)) {
            // The user's browser or mail program; if none starts, there is nothing to add.
            QDesktopServices::openUrl(url);
        } else if (url.isLocalFile()) {
            if (url.adjusted(QUrl::RemoveFragment) ==
                wb1->source().adjusted(QUrl::RemoveFragment)) {
                wb1->scrollToAnchor(url.fragment());
                return;
            }
            const article::LinkDecision decision =
                article::DecideLocalLink(browser_->Folder(), url.toLocalFile());
            switch (decision.action) {
            case article::LinkAction::OpenPage:
                Navigate(url);
                break;
            case article::LinkAction::OpenOutside:
                // A picture or document that runs nothing: its own program shows it.
                QDesktopServices::openUrl(QUrl::fromLocalFile(decision.path));
                break;
            case article::LinkAction::Explain:
                browser_->Explain(url,
                                  article::OwnPage(decision.heading, decision.text, decision.path));
                FindBar1->Refresh();
                break;
            }
        }
    });
}

void Thtv::ShowWindow() {
    if (isMinimized()) setWindowState(windowState() & ~Qt::WindowMinimized);
    if (!isVisible()) {
        if (placed_) {
            resize(lastSize_);
            move(lastPos_);
        } else {
            // The frame is asked for before the first show, so that the window appears at its
            // outer size at once rather than growing by its frame and then shrinking back.
            const std::optional<QMargins> frame = FrameBeforeShow(this);
            FitOuterSize(frame);
            // Made smaller to fit its screen, it is also placed on it rather than wherever the
            // window manager puts new windows.
            if (OuterSize() != design::viewer::kOuter && screen()) {
                setGeometry(CentredClient(size(), frame.value_or(QMargins()),
                                          screen()->availableGeometry()));
            }
        }
        show();
    }
    raise();
    activateWindow();
}

void Thtv::Print() {
    RunHandler(ReportParent(), [&] {
        QPrinter printer(QPrinter::HighResolution);
        // The title names the print job, and the PDF file the dialog offers to save.
        printer.setDocName(wb1->documentTitle());
        printer.setCreator(QApplication::applicationName());
        QPrintDialog dialog(&printer, this);
        if (dialog.exec() == QDialog::Accepted) PrintTo(printer);
    });
}

void Thtv::PrintTo(QPrinter& printer) const { wb1->document()->print(&printer); }

QWidget* Thtv::ReportParent() {
    if (isVisible()) return this;
    return QApplication::activeWindow();
}

void Thtv::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    FitOuterSize(FrameNow(this));
}

void Thtv::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    // The window manager has framed the window: a frame other than the one it announced
    // gets the outer size right once more.
    if (isVisible()) FitOuterSize(FrameNow(this));
}

void Thtv::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (isVisible()) FitOuterSize(FrameNow(this));
}

void Thtv::hideEvent(QHideEvent* event) {
    if (!event->spontaneous()) {
        fittingOuterSize_ = false;
        placed_ = true;
        lastPos_ = pos();
        lastSize_ = size();
    }
    QWidget::hideEvent(event);
}

bool Thtv::HistoryButton(Qt::MouseButton button) {
    if (button == Qt::BackButton) {
        wb1->backward();
        return true;
    }
    if (button == Qt::ForwardButton) {
        wb1->forward();
        return true;
    }
    return false;
}

void Thtv::mousePressEvent(QMouseEvent* event) {
    if (HistoryButton(event->button())) {
        event->accept();
        return;
    }
    QWidget::mousePressEvent(event);
}

bool Thtv::eventFilter(QObject* watched, QEvent* event) {
    if (watched == wb1->viewport()) {
        if (event->type() == QEvent::MouseButtonPress &&
            HistoryButton(static_cast<QMouseEvent*>(event)->button())) {
            return true;
        }
        if (event->type() == QEvent::Wheel) {
            const auto* wheel = static_cast<QWheelEvent*>(event);
            if (wheel->modifiers() & Qt::ControlModifier) {
                // One notch of an ordinary wheel is 120; fine-grained wheels add up to it.
                wheelRemainder_ += wheel->angleDelta().y();
                const int steps = wheelRemainder_ / 120;
                wheelRemainder_ -= steps * 120;
                if (steps != 0) SetZoom(zoomLevel_ + steps);
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

int Thtv::ZoomPercent() const { return kZoomSteps[static_cast<std::size_t>(zoomLevel_)]; }

void Thtv::ZoomIn() { SetZoom(zoomLevel_ + 1); }

void Thtv::ZoomOut() { SetZoom(zoomLevel_ - 1); }

void Thtv::ZoomReset() { SetZoom(kNormalZoom); }

void Thtv::SetZoom(int level) {
    zoomLevel_ = std::clamp(level, 0, static_cast<int>(kZoomSteps.size()) - 1);
    QFont pageFont = wb1->font();
    pageFont.setPointSizeF(kPageFontPoints * ZoomPercent() / 100.0);
    wb1->setFont(pageFont);
}

}  // namespace windows
