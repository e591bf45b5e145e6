#include "htview.h"

#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include "panel.h"

namespace windows {

Thtv::Thtv(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("htv"));
    setWindowTitle(QStringLiteral("Просмотр"));
    Panel1 = new Panel(QStringLiteral("Panel1"), QColor(255, 251, 240), this);
    Button1 = new QPushButton(QStringLiteral("Найти на странице"), Panel1);
    Button1->setObjectName(QStringLiteral("Button1"));
    wb1 = new QTextBrowser(this);
    wb1->setObjectName(QStringLiteral("wb1"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Panel1);
    layout->addWidget(wb1);
    FormCreate();
}

void Thtv::FormCreate() { resize(800, 600); }

void Thtv::ShowHT(const QString& page) {
    wb1->setSource(QUrl::fromLocalFile(page));
    show();
    raise();
    activateWindow();
}

void Thtv::Button1Click() {}

}  // namespace windows
