#include "guitestutil.h"

#include "light/mainfrmlight.h"

#include "ui/drawinglayer.h"
#include "ui/linewidget.h"
#include <QGroupBox>

namespace {
// How many pixels match, and the rectangle around them.
int pixels(const QImage& image, const std::function<bool(QRgb)>& match, QRect* where = nullptr) {
    const QImage img = image.convertToFormat(QImage::Format_ARGB32);
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (match(img.pixel(x, y))) {
                ++n;
                if (where)
                    *where |= QRect(x, y, 1, 1);
            }
    return n;
}
bool green(QRgb c) {
    return c == qRgb(0, 192, 0);
}
bool orange(QRgb c) {
    return c == qRgb(255, 128, 0);
}
bool drawn(QRgb c) {
    return qAlpha(c) != 0;
}
} // namespace

class TstLightWindow : public QObject {
    Q_OBJECT
    std::unique_ptr<GuiFixture> fx;
    MainFrmLight* w = nullptr;

    void run() { w->StartCount->click(); }
    QImage drawing() { return w->drawingLayer()->image(); }

private slots:
    void init() {
        fx = std::make_unique<GuiFixture>();
        w = openShown(new MainFrmLight);
        QVERIFY(QTest::qWaitForWindowExposed(w));
    }
    void cleanup() {
        w->close();
        flushDeletes();
        fx.reset();
    }

    // Name, Left, Top, Width, Height in twips, then the text at load. A
    // line covers the pixels of both its ends: (480, 1200) to (480, 4320) is
    // column 32, rows 80 to 288.
    void layout_data() {
        QTest::addColumn<QRect>("twips");
        QTest::addColumn<QString>("text");
        const char* rows = R"(Label2 2160 120 4455 255 Введите начальные значения:
Label5 480 480 135 255 Δ
Label4 600 480 135 255 t=
dtInput 840 480 495 285 0,1
Label6 1440 480 255 255 x0=
x0Input 1800 480 495 285 0,1
Label7 2400 480 255 255 y0=
y0Input 2760 480 495 285 0,1
Label1 3360 480 375 255 k1=
k1Input 3720 480 495 285 0,1
Label3 4320 480 375 255 k2=
k2Input 4680 480 495 285 0,1
Label8 5280 480 135 255 α
Label9 5400 480 255 255 1=
a1Input 5640 480 495 285 0,1
Label10 6240 480 135 255 α
Label11 6360 480 255 255 2=
a2Input 6600 480 495 285 0,1
tt 7200 480 255 255 t=
tInput 7440 480 495 285 50
Graph 120 960 8055 3735
Line1 480 4320 7455 15
Line2 480 1200 15 3135
ViewLine 480 1200 15 3135
Label12 360 4320 135 255 0
Label13 360 960 255 255 x,y
tlabel 7920 4200 135 255 t
Label31 1200 4725 1815 255 Катастрофа будет при:
Label29 2880 4725 615 255 Её нет!
Label30 3600 4725 255 255 1/
CatQuan 3840 4680 255 285 2
VScroll1 4080 4680 135 285
MakeDisaster 4440 4720 2295 255 Сделать катастрофу
StartCount 120 5040 8055 255 Рассчитать
Shape1 0 0 8295 5415
full/StartCount 120 4800 8055 255 Рассчитать
full/Shape1 0 0 10815 5175
full/Shape3 6480 960 1695 495
full/Label19 6600 960 255 255 x=
full/xCur 6840 960 1335 255
full/Label20 6600 1200 255 255 y=
full/yCur 6840 1200 1335 255
full/Shape4 3000 1440 2535 255
full/Label14 3840 1440 975 255 Статистика:
full/Shape2 3000 1680 2535 1095
full/Label15 3120 1680 2415 255 Максимальное значение по x:
full/Label16 3000 1920 2535 255
full/Label17 3120 2160 2415 255 Максимальное значение по y:
full/Label18 3000 2400 2535 255
full/StatusWindow 0 5130 10860 300
full/ProgBar 6240 5160 4575 255
full/Frame1 8280 0 2535 5055 Доп. функции
full/Check1 120 240 2175 255 Показывать статистику
full/Check2 120 480 2175 375 Показывать текущие значения
full/Check5 120 840 2295 255 Включить индикатор
full/Check3 120 1080 2175 255 Паузы
full/Slider1 120 1320 2295 255
full/Check4 120 1680 2175 255 Режим отладки
full/Label25 120 2040 1335 255 Корректировка:
full/Label26 1320 2040 1095 255 Выключена
full/Label21 120 2280 2175 255 Затраченное время:
full/Label23 120 2520 2175 255
full/Label22 120 2760 2175 255 Корректировка:
full/Label24 120 3000 2175 255
full/Label27 120 3240 1695 255 Всего корректировок:
full/Label28 1800 3240 495 255 0
full/DrawCorrect 120 3480 2295 255 График корректировок
full/Label31 120 3840 1815 255 Катастрофа будет при:
full/Label29 1800 3840 615 255 Её нет!
full/MakeDisaster 120 4200 2295 255 Сделать катастрофу
full/Label30 120 4605 255 255 1/
full/CatQuan 360 4560 255 285 2
full/VScroll1 600 4560 135 285
full/Image3 1080 4560 480 480
full/Image2 1560 4560 480 480
full/Image1 2040 4560 480 480)";
        for (const QString& row : QString::fromUtf8(rows).split('\n')) {
            const QStringList f = row.split(' ');
            QTest::newRow(qPrintable(f[0]))
                << QRect(f[1].toInt(), f[2].toInt(), f[3].toInt(), f[4].toInt())
                << f.mid(5).join(' ');
        }
    }
    // Rows named full/... are the full window's own; inside Frame1 they are
    // placed relative to the frame.
    void layout() {
        QFETCH(QRect, twips);
        QFETCH(QString, text);
        const QString tag = QString::fromUtf8(QTest::currentDataTag());
        const bool full = tag.startsWith("full/");
        FullWindow fullWindow(full ? new MainFrmFull : nullptr);
        QWidget* window = full ? static_cast<QWidget*>(fullWindow.get()) : w;
        auto* c = window->findChild<QWidget*>(tag.section('/', -1));
        QVERIFY(c);
        QCOMPARE(c->geometry(),
                 QRect(twips.x() / 15, twips.y() / 15, twips.width() / 15, twips.height() / 15));
        const char* property = c->inherits("QGroupBox") ? "title" : "text";
        QCOMPARE(c->inherits("QProgressBar") ? QString() : c->property(property).toString(), text);
        // A label is left-aligned unless the form centres it or sets it right.
        static const QStringList centred = {"Label2",       "Label12",      "Label13",
                                            "tlabel",       "full/Label16", "full/Label18",
                                            "full/Label26", "full/Label23", "full/Label24"};
        if (const auto* label = qobject_cast<QLabel*>(c))
            QCOMPARE(label->alignment() & Qt::AlignHorizontal_Mask,
                     centred.contains(tag)               ? Qt::AlignHCenter
                     : tag.section('/', -1) == "Label29" ? Qt::AlignRight
                                                         : Qt::AlignLeft);
    }

    // Labels, lines and shapes from front to back; the windowed controls
    // above all of them. Raising moves a widget to the end of its parent's
    // children, so the order there is the stacking.
    void stacking_data() {
        QTest::addColumn<bool>("full");
        QTest::addColumn<QString>("frontToBack");
        QTest::newRow("light") << false
                               << "Label30 Label31 Label29 ViewLine Label12 Label13 tlabel Line2 "
                                  "Line1 tt Label11 Label10 Label9 Label8 Label7 Label6 Label5 "
                                  "Label4 Label3 Label2 Label1 Shape1 Graph";
        QTest::newRow("full") << true
                              << "Label14 Label17 Label18 Label16 Label15 Shape2 Shape4 ViewLine "
                                 "Label12 yCur xCur Label20 Label19 Shape3 Label13 tlabel Line2 "
                                 "Line1 tt Label11 Label10 Label9 Label8 Label7 Label6 Label5 "
                                 "Label4 Label3 Label2 Label1 Shape1 Graph";
        QTest::newRow("frame, corrections") << true << "Label26 Label25";
        QTest::newRow("frame, disaster") << true << "Label29 Label31";
    }
    void stacking() {
        QFETCH(bool, full);
        QFETCH(QString, frontToBack);
        FullWindow fullWindow(full ? new MainFrmFull : nullptr);
        QWidget* window = full ? static_cast<QWidget*>(fullWindow.get()) : w;
        if (QByteArray(QTest::currentDataTag()).startsWith("frame"))
            window = fullWindow->Frame1;
        const QObjectList order = window->children();
        int below = int(order.size());
        for (const QString& name : frontToBack.split(' ')) {
            const auto at = std::find_if(order.begin(), order.end(),
                                         [&](QObject* o) { return o->objectName() == name; });
            QVERIFY2(at != order.end() && at - order.begin() < below, qPrintable(name));
            below = int(at - order.begin());
        }
        const int front = int(order.indexOf(window->findChild<QObject*>(
            frontToBack.section(' ', 0, 0), Qt::FindDirectChildrenOnly)));
        for (QObject* o : order)
            if (o->inherits("QAbstractButton") || o->inherits("QLineEdit") ||
                o->inherits("QAbstractSlider") || o->inherits("QGroupBox") ||
                o->inherits("QProgressBar") || o->objectName() == "StatusWindow")
                QVERIFY2(order.indexOf(o) > front, qPrintable(o->objectName()));
        if (full && window != fullWindow->Frame1)
            QVERIFY(order.indexOf(fullWindow->ProgBar) > order.indexOf(fullWindow->StatusWindow));
    }

    void window_data() {
        QTest::addColumn<bool>("full");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QString>("focusOrder");
        const QString common = "k1Input StartCount k2Input dtInput x0Input y0Input a1Input a2Input "
                               "tInput ";
        QTest::newRow("light") << false << QSize(552, 357) << common + "MakeDisaster VScroll1";
        QTest::newRow("full") << true << QSize(724, 362)
                              << common + "Check1 Check2 Check3 Slider1 Check4 DrawCorrect "
                                          "MakeDisaster VScroll1 Check5";
    }
    void window() {
        QFETCH(bool, full);
        QFETCH(QSize, size);
        QFETCH(QString, focusOrder);
        FullWindow fullWindow(full ? openFull() : nullptr);
        MainFormBase* w = full ? static_cast<MainFormBase*>(fullWindow.get()) : this->w;
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QCOMPARE(w->windowTitle(), QString("Модель Катастроф"));
        QCOMPARE(w->size(), size);
        QCOMPARE(w->minimumSize(), w->maximumSize());
        QCOMPARE(w->focusWidget(), w->k1Input);
        QVERIFY(!w->CatQuan->isEnabled());
        for (auto [line, x1, y1, x2, y2] : {std::tuple{w->Line1, 480, 4320, 7920, 4320},
                                            {w->Line2, 480, 4320, 480, 1200},
                                            {w->ViewLine, 480, 1200, 480, 4320}})
            QCOMPARE(QLine(line->x1(), line->y1(), line->x2(), line->y2()), QLine(x1, y1, x2, y2));
        QStringList order;
        QWidget* f = w->k1Input;
        do {
            if ((f->focusPolicy() & Qt::TabFocus) && f->isEnabled())
                order << f->objectName();
            f = f->nextInFocusChain();
        } while (f != w->k1Input);
        QCOMPARE(order.join(' '), focusOrder);
    }

    void runAtLoad() {
        QCOMPARE(pixels(drawing(), drawn), 0);
        run();
        QVERIFY(fx->messages.isEmpty());
        QCOMPARE(fx->pauses, QList<double>{0.01}); // lets the cleared window repaint
        QVERIFY(pixels(drawing(), green) > 400 && pixels(drawing(), orange) > 400);
        // Both curves span the time axis; the larger one reaches 2240 twips up.
        QRect curves;
        pixels(
            drawing(), [](QRgb c) { return green(c) || orange(c); }, &curves);
        QCOMPARE(QList<int>({curves.left(), curves.right(), curves.top()}),
                 QList<int>({32, 528, 138}));
        QVERIFY(w->StartCount->isEnabled());
        QCOMPARE(w->state().graphReady, std::int16_t(-1));
        // Covering and uncovering the window keeps the graph.
        const QImage before = drawing();
        w->hide();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        w->repaint();
        QCOMPARE(drawing(), before);
        QVERIFY(pixels(w->grab().toImage(), green) > 400);
        // A layer that grows (on a screen of another ratio) keeps the graph
        // where it was.
        w->drawingLayer()->resize(w->drawingLayer()->size() + QSize(0, 8));
        QCOMPARE(drawing().copy(before.rect()), before);
    }

    void secondRunReplacesFirst() {
        run();
        const QImage first = drawing();
        w->k1Input->setText("0,2");
        run();
        QVERIFY(drawing() != first);
        // Exactly what a window that only ever ran with the new text draws.
        MainFrmLight fresh;
        fresh.k1Input->setText("0,2");
        fresh.StartCount->click();
        QCOMPARE(fresh.drawingLayer()->image(), drawing());
    }

    // Enter in any box of the row runs, as the button does.
    void enterRuns() {
        const QStringList boxes = {"k1Input", "k2Input", "a1Input", "a2Input",
                                   "dtInput", "tInput",  "x0Input", "y0Input"};
        for (const QString& name : boxes) {
            w->drawingLayer()->clear();
            auto* box = w->findChild<QLineEdit*>(name);
            box->setFocus();
            QTest::keyClick(box, Qt::Key_Return);
            QVERIFY2(pixels(drawing(), green) > 400, qPrintable(name));
        }
        QVERIFY(fx->messages.isEmpty());
    }

    // Box/text pairs, the start of the one message the run then shows, and
    // the box then holding the keyboard with its whole text selected (none:
    // the read succeeded and the focus stays on the button pressed).
    void refused_data() {
        QTest::addColumn<QStringList>("edits");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focused");
        const QString bad = "Смотри, что пишешь!!";
        QTest::newRow("k1 letters") << QStringList{"k1Input", "abc"} << bad << "k1Input";
        QTest::newRow("k2 empty") << QStringList{"k2Input", ""} << bad << "k2Input";
        QTest::newRow("a1 trailing") << QStringList{"a1Input", "0,1x"} << bad << "a1Input";
        QTest::newRow("a2 blank") << QStringList{"a2Input", " "} << bad << "a2Input";
        QTest::newRow("dt zero") << QStringList{"dtInput", "0"} << bad << "dtInput";
        QTest::newRow("t 16-bit") << QStringList{"tInput", "40000"} << bad << "tInput";
        QTest::newRow("t negative span") << QStringList{"tInput", "-50"} << bad << "tInput";
        QTest::newRow("x0 word") << QStringList{"x0Input", "ten"} << bad << "x0Input";
        QTest::newRow("y0 sign only") << QStringList{"y0Input", "-"} << bad << "y0Input";
        QTest::newRow("two bad, first")
            << QStringList{"a2Input", "?", "k2Input", "x"} << bad << "k2Input";
        QTest::newRow("t=0") << QStringList{"tInput", "0"} << "Ошибка выполнения '11'"
                             << "StartCount";
        QTest::newRow("x0=y0=0") << QStringList{"x0Input", "0", "y0Input", "0"}
                                 << "Ошибка выполнения '11'"
                                 << "StartCount";
        QTest::newRow("t/dt=40000") << QStringList{"tInput", "4000"} << "Ошибка выполнения '6'"
                                    << "StartCount";
        QTest::newRow("k1 huge") << QStringList{"k1Input", "1E+200"} << "Ошибка выполнения '6'"
                                 << "StartCount";
    }
    void refused() {
        QFETCH(QStringList, edits);
        QFETCH(QString, message);
        QFETCH(QString, focused);
        run();
        for (int i = 0; i < edits.size(); i += 2)
            w->findChild<QLineEdit*>(edits[i])->setText(edits[i + 1]);
        w->StartCount->setFocus();
        run();
        QCOMPARE(fx->messages.size(), 1);
        QCOMPARE(w->focusWidget()->objectName(), focused);
        if (auto* box = qobject_cast<QLineEdit*>(w->focusWidget()))
            QCOMPARE(box->selectedText(), box->text());
        QCOMPARE(fx->messages[0].icon, AppMessage::Critical);
        QVERIFY2(fx->messages[0].text.startsWith(message), qPrintable(fx->messages[0].text));
        QCOMPARE(pixels(drawing(), drawn), 0);
        QVERIFY(w->StartCount->isEnabled());
        // Idle again: the texts at load run as usual.
        for (int i = 0; i < edits.size(); i += 2)
            w->findChild<QLineEdit*>(edits[i])->setText(edits[i] == "tInput" ? "50" : "0,1");
        run();
        QCOMPARE(fx->messages.size(), 1);
        QVERIFY(pixels(drawing(), green) > 400);
    }
};

QTEST_MAIN(TstLightWindow)
#include "tst_lightwindow.moc"
