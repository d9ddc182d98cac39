#include "full/form1.h"

#include "common/runerror.h"
#include "diag/logfile.h"
#include "ui/accessiblenames.h"
#include "ui/appmessage.h"
#include "ui/formbuilder.h"

#include <QCloseEvent>
#include <QDateTime>
#include <QListWidget>
#include <QPushButton>

Form1::Form1(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      m_path(LogFile::defaultPath()) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Form1"));
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_QuitOnClose);
    QFont f(QStringLiteral("Liberation Sans"), 8);
    f.setStyleHint(QFont::SansSerif);
    setFont(f);
    setFixedSize(5475 / FormBuilder::TwipsPerPixel, 4860 / FormBuilder::TwipsPerPixel);

    List1 = new QListWidget(this);
    List1->setObjectName(QStringLiteral("List1"));
    List1->setSelectionMode(QAbstractItemView::SingleSelection);
    List1->setUniformItemSizes(true);
    FormBuilder::place(List1, 0, 0, 5415, 4350);
    Command1 = FormBuilder::button(this, "Command1", QStringLiteral("Сохранить в файл"), 1440, 4440,
                                   2415, 375);
    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    setTabOrder(List1, Command1);
    AccessibleNames::apply(this);
}

void Form1::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    emit closed();
}

void Form1::addEntry(const QString& text) {
    List1->addItem(text);
}

void Form1::addEntries(const QStringList& texts) {
    List1->addItems(texts);
}

QStringList Form1::entries() const {
    QStringList out;
    out.reserve(List1->count());
    for (int i = 0; i < List1->count(); ++i)
        out << List1->item(i)->text();
    return out;
}

void Form1::Command1_Click() {
    try {
        LogFile::append(m_path, entries(), QDateTime::currentDateTime());
    } catch (const RunError& e) {
        AppMessage::report(this, e);
    }
}
