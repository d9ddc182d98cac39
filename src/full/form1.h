#pragma once

// The log window: a small tool window with the list of debug entries and a
// button that appends them to "Log.ini". 5475 x 4860 twips, fixed size.
// Closing it discards it with its entries.

#include <QWidget>

class QListWidget;
class QPushButton;

class Form1 : public QWidget {
    Q_OBJECT
public:
    explicit Form1(QWidget* parent = nullptr);

    void addEntry(const QString& text);
    void addEntries(const QStringList& texts);
    QStringList entries() const;
    // Where "Сохранить в файл" writes; "Log.ini" in the current directory.
    void setLogPath(const QString& path) { m_path = path; }

    QListWidget* List1 = nullptr;
    QPushButton* Command1 = nullptr;

public slots:
    void Command1_Click();

signals:
    // The user closed the window; it is discarded with its entries.
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QString m_path;
};
