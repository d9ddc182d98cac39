#pragma once

// The graph's context menu, shared by both main windows: the picture saved
// or copied exactly as the graph box shows it, and the values of what it
// shows saved as CSV. The menu and the file dialog are reached through
// handlers that tests replace, as message boxes are through AppMessage.

#include "export/csvwriter.h"
#include "export/graphpicture.h"

#include <QObject>
#include <QPointF>
#include <functional>
#include <vector>

class MainFormBase;
class QAction;
class QMenu;
class QWidget;
struct ModelState;

class GraphMenu : public QObject {
    Q_OBJECT
public:
    explicit GraphMenu(MainFormBase* form);

    // A right press at this position of the window (logical pixels) opens
    // the menu: inside the graph box, with no marking armed and no handler
    // of the window under way.
    bool opensAt(const QPointF& position) const;
    void open(const QPoint& globalPosition);
    // The Menu key or Shift+F10 anywhere in the window: the menu at the
    // graph, unless a handler of the window is under way.
    void openFromKeyboard();

    // What the values are taken from: the window's last run (each new one
    // takes the menu back to it), or the first `count` records of a
    // corrections graph.
    void keepCorrections(const ModelState& state, int count);

    // The graph box as the window shows it, at the screen's device-pixel
    // ratio or 2, whichever is larger.
    QImage picture() const;
    QByteArray svg() const;
    QByteArray values(CsvWriter::Style style) const;

    // Shows the menu and returns the chosen item (nullptr: none).
    using MenuHandler = std::function<QAction*(QMenu*)>;
    static void setMenuHandler(MenuHandler handler);
    // Asks for a file name as QFileDialog::getSaveFileName does.
    using FileChooser =
        std::function<QString(QWidget* parent, const QString& caption, const QString& suggested,
                              const QString& filters, QString* selectedFilter)>;
    static void setFileChooser(FileChooser chooser);

    // The lab window, from the menu's item and Ctrl+F once a run has drawn
    // its graph; set by whoever builds the windows, so that this folder
    // needs no window of its own.
    using LabOpener = std::function<void(MainFormBase*)>;
    static void setLabOpener(LabOpener opener);
    // Before a run there is nothing to open: a hint near the graph says so.
    void openLab();
    static QString labNeedsRun();

    // The menu's own rules for another window's picture and values: the
    // same dialogs, names, filters and reports.
    static QAction* execMenu(QMenu* menu, const QPoint& globalPosition);
    struct SaveItems {
        QAction* picture;
        QAction* copy;
        QAction* values;
    };
    // The menu's first three items, offered only when `enabled`.
    static SaveItems addSaveItems(QMenu* menu, bool enabled);
    // Both return the path written, empty when nothing was (cancelled, or
    // a fault reported).
    static QString savePictureOf(QWidget* parent, const QString& suggested,
                                 const std::function<QByteArray()>& png,
                                 const std::function<QByteArray()>& svg);
    static QString saveValuesOf(QWidget* parent, const QString& suggested,
                                const std::function<QByteArray(CsvWriter::Style)>& values);

    static QString pngFilter() { return QStringLiteral("Изображение PNG (*.png)"); }
    static QString svgFilter() { return QStringLiteral("Рисунок SVG (*.svg)"); }
    static QString csvFilter() { return QStringLiteral("CSV (*.csv)"); }
    static QString excelFilter() { return QStringLiteral("CSV для Excel (*.csv)"); }

public slots:
    void savePicture();
    void copyPicture();
    void saveValues();

    // The save dialog every save of the program asks through (tests answer
    // instead), starting in the current folder.
    static QString chooseFile(QWidget* parent, const QString& caption, const QString& suggested,
                              const QStringList& filters, QString* selectedFilter);

private:
    GraphPicture::Frame frame() const;
    GraphPicture::Drawing drawing() const;
    // Makes the bytes and writes them, reporting a fault of either.
    static bool write(QWidget* parent, const QString& path,
                      const std::function<QByteArray()>& bytes);

    MainFormBase* m_form;
    enum { Series, Corrections } m_kind = Series;
    // Whether the graph box shows what the values are taken from.
    bool m_showsValues = false;
    std::vector<float> m_elapsed;
    std::vector<float> m_factor;
};
