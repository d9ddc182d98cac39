#include "ui/graphmenu.h"

#include "common/runerror.h"
#include "export/outputfiles.h"
#include "model/lastrun.h"
#include "ui/appmessage.h"
#include "ui/drawinglayer.h"
#include "ui/linewidget.h"
#include "ui/mainformbase.h"
#include "ui/notice.h"
#include "ui/shapewidget.h"
#include "ui/typeddisaster.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QShortcut>
#include <algorithm>

namespace {
GraphMenu::MenuHandler& menuHandler() {
    static GraphMenu::MenuHandler h;
    return h;
}
GraphMenu::FileChooser& fileChooser() {
    static GraphMenu::FileChooser c;
    return c;
}
GraphMenu::LabOpener& labOpener() {
    static GraphMenu::LabOpener o;
    return o;
}
} // namespace

void GraphMenu::setMenuHandler(MenuHandler handler) {
    menuHandler() = std::move(handler);
}

void GraphMenu::setFileChooser(FileChooser chooser) {
    fileChooser() = std::move(chooser);
}

void GraphMenu::setLabOpener(LabOpener opener) {
    labOpener() = std::move(opener);
}

QString GraphMenu::labNeedsRun() {
    return QStringLiteral("Фазовый портрет строится по расчёту: сначала нажмите «Рассчитать»");
}

void GraphMenu::openLab() {
    if (m_form->lastRun()->record().isEmpty())
        Notice::show(m_form->Graph, labNeedsRun());
    else if (labOpener())
        labOpener()(m_form);
}

GraphMenu::SaveItems GraphMenu::addSaveItems(QMenu* menu, bool enabled) {
    SaveItems items{menu->addAction(QStringLiteral("Сохранить график…")),
                    menu->addAction(QStringLiteral("Копировать график")),
                    menu->addAction(QStringLiteral("Сохранить значения…"))};
    items.picture->setObjectName(QStringLiteral("SavePicture"));
    items.copy->setObjectName(QStringLiteral("CopyPicture"));
    items.values->setObjectName(QStringLiteral("SaveValues"));
    for (QAction* a : {items.picture, items.copy, items.values})
        a->setEnabled(enabled);
    return items;
}

QAction* GraphMenu::execMenu(QMenu* menu, const QPoint& globalPosition) {
    return menuHandler() ? menuHandler()(menu) : menu->exec(globalPosition);
}

GraphMenu::GraphMenu(MainFormBase* form) : QObject(form), m_form(form) {
    setObjectName(QStringLiteral("GraphMenu"));
    // The picture is the layer's, the values the last run's: the items are
    // offered only while the layer shows that run (or the corrections).
    connect(form->lastRun(), &LastRun::changed, this, [this] {
        m_kind = Series;
        m_showsValues = !m_form->lastRun()->record().isEmpty();
    });
    connect(form->drawingLayer(), &DrawingLayer::cleared, this, [this] { m_showsValues = false; });
    for (const QKeySequence& keys :
         {QKeySequence(Qt::Key_Menu), QKeySequence(Qt::SHIFT | Qt::Key_F10)})
        connect(new QShortcut(keys, form), &QShortcut::activated, this,
                &GraphMenu::openFromKeyboard);
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_F), form), &QShortcut::activated, this,
            &GraphMenu::openLab);
}

void GraphMenu::openFromKeyboard() {
    if (!m_form->isBusy())
        open(m_form->Graph->mapToGlobal(m_form->Graph->rect().center()));
}

bool GraphMenu::opensAt(const QPointF& position) const {
    // A press while marking is armed belongs to the marking.
    return m_form->state().disasterArmed != -1 && !m_form->isBusy() &&
           m_form->Graph->geometry().contains(position.toPoint());
}

void GraphMenu::open(const QPoint& globalPosition) {
    QMenu menu(m_form);
    menu.setObjectName(QStringLiteral("GraphMenuPopup"));
    // The condition under which the disaster button answers "Нет графика!".
    const auto [save, copy, values] =
        addSaveItems(&menu, m_form->state().graphReady == -1 && m_showsValues);
    // The lab follows the last run, which stays when a later one fails.
    QAction* lab = menu.addAction(QStringLiteral("Фазовый портрет…"));
    lab->setObjectName(QStringLiteral("PhasePortrait"));
    lab->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    lab->setEnabled(labOpener() && !m_form->lastRun()->record().isEmpty());
    if (m_form->lastRun()->record().isEmpty()) {
        lab->setToolTip(labNeedsRun());
        menu.setToolTipsVisible(true);
    }
    // Answers "Нет графика!" itself, as the disaster button does.
    QAction* typed = menu.addAction(QStringLiteral("Катастрофа при t = …"));
    typed->setObjectName(QStringLiteral("TypedDisaster"));

    QAction* chosen = execMenu(&menu, globalPosition);
    if (!chosen || !chosen->isEnabled())
        return;
    if (chosen == save)
        savePicture();
    else if (chosen == copy)
        copyPicture();
    else if (chosen == values)
        saveValues();
    else if (chosen == typed)
        TypedDisaster::mark(m_form);
    else if (chosen == lab)
        openLab();
}

void GraphMenu::keepCorrections(const ModelState& state, int count) {
    m_kind = Corrections;
    m_showsValues = true;
    const std::size_t n =
        std::min<std::size_t>(std::size_t(std::max(count, 0)),
                              std::min(state.elapsedHistory.size(), state.factorHistory.size()));
    m_elapsed.assign(state.elapsedHistory.begin(), state.elapsedHistory.begin() + n);
    m_factor.assign(state.factorHistory.begin(), state.factorHistory.begin() + n);
}

GraphPicture::Frame GraphMenu::frame() const {
    GraphPicture::Frame f;
    DrawingLayer* layer = m_form->drawingLayer();
    f.background = m_form->Graph->palette().color(QPalette::Base);
    f.foreground = layer->palette().color(QPalette::WindowText);
    f.font = layer->font();
    f.originText = m_form->Label12->text();
    if (auto* l = m_form->findChild<QLabel*>(QStringLiteral("Label13")))
        f.valueCaption = l->text();
    if (auto* l = m_form->findChild<QLabel*>(QStringLiteral("tlabel")))
        f.timeCaption = l->text();
    f.viewLineX = m_form->ViewLine->x1();
    return f;
}

GraphPicture::Drawing GraphMenu::drawing() const {
    const DrawingLayer* layer = m_form->drawingLayer();
    return [layer](DrawSurface& surface) { layer->record().replay(surface, 0, true); };
}

QImage GraphMenu::picture() const {
    const qreal scale = std::max<qreal>(m_form->devicePixelRatioF(), 2.0);
    return GraphPicture::image(frame(), scale, drawing());
}

QByteArray GraphMenu::svg() const {
    return GraphPicture::svg(frame(), drawing());
}

QByteArray GraphMenu::values(CsvWriter::Style style) const {
    if (m_kind == Corrections)
        return CsvWriter::corrections(m_elapsed, m_factor, m_elapsed.size(), style);
    const RunRecord& run = m_form->lastRun()->record();
    return CsvWriter::series(run.x.data(), run.y.data(), run.x.size(), run.scenario.dt, style);
}

QString GraphMenu::chooseFile(QWidget* parent, const QString& caption, const QString& suggested,
                              const QStringList& filters, QString* selectedFilter) {
    const QString path = QDir::current().filePath(suggested);
    const QString joined = filters.join(QStringLiteral(";;"));
    if (fileChooser())
        return fileChooser()(parent, caption, path, joined, selectedFilter);
    return QFileDialog::getSaveFileName(parent, caption, path, joined, selectedFilter);
}

bool GraphMenu::write(QWidget* parent, const QString& path,
                      const std::function<QByteArray()>& bytes) {
    OutputFiles file;
    try {
        file.add(path, bytes());
        file.commit();
        return true;
    } catch (const RunError& e) {
        AppMessage::report(parent, e);
        return false;
    }
}

QString GraphMenu::savePictureOf(QWidget* parent, const QString& suggested,
                                 const std::function<QByteArray()>& png,
                                 const std::function<QByteArray()>& svg) {
    QString filter = pngFilter();
    QString path = chooseFile(parent, QStringLiteral("Сохранить график"), suggested,
                              {pngFilter(), svgFilter()}, &filter);
    if (path.isEmpty())
        return {};
    // The name's own type decides; a name without one takes the filter's.
    const QString suffix = QFileInfo(path).suffix().toLower();
    const bool asSvg =
        suffix == QLatin1String("svg") || (suffix != QLatin1String("png") && filter == svgFilter());
    if (suffix.isEmpty())
        path += asSvg ? QStringLiteral(".svg") : QStringLiteral(".png");
    return write(parent, path, asSvg ? svg : png) ? path : QString();
}

QString GraphMenu::saveValuesOf(QWidget* parent, const QString& suggested,
                                const std::function<QByteArray(CsvWriter::Style)>& values) {
    // Where numbers are written with a decimal comma, so are the
    // spreadsheet's: its variant comes first.
    const bool comma = QLocale::system().decimalPoint() == QLatin1String(",");
    QString filter = comma ? excelFilter() : csvFilter();
    QString path = chooseFile(parent, QStringLiteral("Сохранить значения"), suggested,
                              comma ? QStringList{excelFilter(), csvFilter()}
                                    : QStringList{csvFilter(), excelFilter()},
                              &filter);
    if (path.isEmpty())
        return {};
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".csv");
    const CsvWriter::Style style =
        filter == excelFilter() ? CsvWriter::DecimalComma : CsvWriter::Plain;
    return write(parent, path, [&] { return values(style); }) ? path : QString();
}

void GraphMenu::savePicture() {
    const qreal scale = std::max<qreal>(m_form->devicePixelRatioF(), 2.0);
    const QString path = savePictureOf(
        m_form, QStringLiteral("morvane.png"),
        [&] { return GraphPicture::png(frame(), scale, drawing()); }, [&] { return svg(); });
    if (!path.isEmpty())
        Notice::show(m_form->Graph, Notice::saved(path));
}

void GraphMenu::copyPicture() {
    QApplication::clipboard()->setImage(picture());
    Notice::show(m_form->Graph, Notice::copied());
}

void GraphMenu::saveValues() {
    const QString path = saveValuesOf(m_form, QStringLiteral("morvane.csv"),
                                      [&](CsvWriter::Style style) { return values(style); });
    if (!path.isEmpty())
        Notice::show(m_form->Graph, Notice::saved(path));
}
