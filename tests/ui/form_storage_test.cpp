// Form storage on a window of its own: properties of every kind, the stored property list,
// stored values, versions, state, focus, the INI file back end and a plain window's close.
#include "framework/exceptions.h"
#include "settings/ini_file.h"
#include "settings/registry.h"
#include "tests/support/error_box_recorder.h"
#include "tests/support/temporary_registry.h"
#include "ui/storage/form_storage.h"
#include "ui/storage/registry_log.h"
#include "ui/storage/window_placement.h"

#include <QCheckBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QSpinBox>
#include <QtTest>

#include <fstream>
#include <memory>
#include <sstream>

namespace velkor {

// Properties of the kinds the line edits and spin boxes do not have.
class Holder : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QChar letter MEMBER letter)
    Q_PROPERTY(qlonglong big MEMBER big)

public:
    using QObject::QObject;
    QChar letter = QLatin1Char('a');
    qlonglong big = 1;
};

// A window that may refuse to close.
class TestWindow : public QWidget
{
public:
    bool allowClose = true;

protected:
    void closeEvent(QCloseEvent *event) override
    {
        if (allowClose)
            event->accept();
        else
            event->ignore();
    }
};

namespace {

constexpr char kSection[] = "\\Test\\Window";

// A window with one control of each kind and a storage on it.
struct Form
{
    explicit Form(bool useRegistry = true, const std::string &iniFile = {})
    {
        window.setObjectName(QStringLiteral("TestWindow"));
        window.move(50, 60);
        window.resize(300, 200);
        edit = new QLineEdit(QStringLiteral(" designed "), &window);
        edit->setObjectName(QStringLiteral("Edit1"));
        spin = new QSpinBox(&window);
        spin->setObjectName(QStringLiteral("SpinBox1"));
        spin->setRange(-1000, 1000);
        check = new QCheckBox(&window);
        check->setObjectName(QStringLiteral("CheckBox1"));
        real = new QDoubleSpinBox(&window);
        real->setObjectName(QStringLiteral("Real1"));
        holder = new Holder(&window);
        holder->setObjectName(QStringLiteral("Holder"));
        storage = &CreateOwned<TFormStorage>(root, &window);
        storage->BeginLoading();
        storage->SetUseRegistry(useRegistry);
        storage->SetIniFileName(useRegistry ? "Test" : iniFile);
        storage->SetIniSection("Window");
        for (const char *entry :
             {"Edit1.Text", "Edit1.EchoMode", "Edit1.Alignment", "SpinBox1.Value",
              "CheckBox1.Checked", "Real1.Value", "Holder.Letter", "Holder.Big"})
            storage->StoredProps().Add(entry);
    }
    void Load() { storage->EndLoading(); }

    TestWindow window;
    QLineEdit *edit;
    QSpinBox *spin;
    QCheckBox *check;
    QDoubleSpinBox *real;
    Holder *holder;
    TComponent root{nullptr}; // freed first: the storage still sees the controls
    TFormStorage *storage;
};

std::string Stored(const std::string &name)
{
    return StoredString(kSection, name);
}

void Store(const std::string &name, const std::string &value)
{
    StoreString(kSection, name, value);
}

} // namespace

class FormStorageTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        home_ = std::make_unique<TemporaryConfigHome>();
        QVERIFY(home_->isValid());
    }
    void cleanup()
    {
        SetRegistryWarningHandler({});
        SetRegistryDamageHandler({});
        home_.reset();
    }

    void properties_of_every_kind_are_stored_as_text_and_come_back()
    {
        {
            Form form;
            form.Load();
            form.window.show();
            QCOMPARE(form.edit->text(), QStringLiteral("designed")); // its own text, trimmed
            form.edit->setText(QStringLiteral("  typed "));
            form.edit->setEchoMode(QLineEdit::Password);
            form.edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            form.spin->setValue(-42);
            form.check->setChecked(true);
            form.real->setValue(2.5);
            form.holder->letter = QChar(0x0416);
            form.holder->big = 9000000000LL;
            form.window.close();
            QCOMPARE(Stored("Edit1_Text"), "typed");
            QCOMPARE(Stored("Edit1_EchoMode"), "Password");
            // AlignRight and AlignTrailing are one value; the enumeration names it by its first.
            QCOMPARE(Stored("Edit1_Alignment"), "[AlignTrailing,AlignVCenter]");
            QCOMPARE(Stored("SpinBox1_Value"), "-42");
            QCOMPARE(Stored("CheckBox1_Checked"), "True");
            QCOMPARE(Stored("Real1_Value"), "2.5");
            QCOMPARE(Stored("Holder_Letter"), "Ж");
            QCOMPARE(Stored("Holder_Big"), "9000000000");
            QCOMPARE(Stored("Visible"), "0");
        }
        Form form;
        form.Load();
        form.window.show();
        QCOMPARE(form.edit->text(), QStringLiteral("typed"));
        QCOMPARE(form.edit->echoMode(), QLineEdit::Password);
        QCOMPARE(form.edit->alignment(), Qt::AlignRight | Qt::AlignVCenter);
        QCOMPARE(form.spin->value(), -42);
        QVERIFY(form.check->isChecked());
        QCOMPARE(form.real->value(), 2.5);
        QCOMPARE(form.holder->letter, QChar(0x0416));
        QCOMPARE(form.holder->big, 9000000000LL);
        QCOMPARE(form.window.pos(), QPoint(50, 60));
    }

    void texts_that_do_not_convert_give_zero_or_leave_the_property()
    {
        Store("FormVersion", "0");
        Store("SpinBox1_Value", "many");
        Store("Edit1_EchoMode", "NoSuchMode");
        Store("CheckBox1_Checked", "true");
        Store("Holder_Big", "12x");
        Form form;
        form.spin->setValue(5);
        form.edit->setEchoMode(QLineEdit::NoEcho);
        form.Load();
        form.window.show();
        QCOMPARE(form.spin->value(), 0);
        QCOMPARE(form.edit->echoMode(), QLineEdit::NoEcho);
        QVERIFY(form.check->isChecked()); // names match without regard to case
        QCOMPARE(form.holder->big, 0LL);
    }

    void the_stored_property_list_drops_what_it_cannot_resolve()
    {
        Form form;
        form.storage->StoredProps().Clear();
        for (const char *entry : {"NoDot", "Missing.Text", " .Text", "Edit1. ", " Edit1 . text ",
                                  "SpinBox1.NoSuchProperty", "Holder.Big"})
            form.storage->StoredProps().Add(entry);
        form.Load();
        QCOMPARE(
            form.storage->StoredProps().Lines(),
            (std::vector<std::string>{" Edit1 . text ", "SpinBox1.NoSuchProperty", "Holder.Big"}));
        form.window.show();
        // Entries follow their component: renamed, it is stored under the new name; gone, its
        // entries go.
        form.edit->setObjectName(QStringLiteral("PathEdit"));
        delete form.holder;
        QCOMPARE(form.storage->StoredProps().Count(), 2);
        form.window.close();
        QCOMPARE(form.storage->StoredProps().Lines(),
                 (std::vector<std::string>{"PathEdit.text", "SpinBox1.NoSuchProperty"}));
        QCOMPARE(Stored("PathEdit_Text"), "designed");
        QCOMPARE(Stored("Holder_Big"), "<missing>");
    }

    void stored_values_pass_their_events_and_keep_unique_names()
    {
        {
            Form form;
            TStoredValue &count = form.storage->StoredValues().Add("Count");
            count.Value = TVariant(std::int32_t{3});
            count.OnSave = [](TStoredValue &, TVariant &value) {
                value = TVariant(std::int32_t{value.AsInteger() + 1});
            };
            try {
                form.storage->StoredValues().Add("COUNT");
                QFAIL("added a duplicate");
            } catch (const EStringListError &error) {
                QCOMPARE(error.Message(), "String list does not allow duplicates");
            }
            form.Load();
            form.window.show();
            form.window.close();
            QCOMPARE(Stored("Count"), "4");
        }
        Form form;
        TStoredValue &count = form.storage->StoredValues().Add("Count");
        std::string seen;
        count.OnRestore = [&seen](TStoredValue &, TVariant &value) {
            seen = value.AsString();
            value = TVariant(seen + "!");
        };
        form.Load();
        form.window.show();
        QCOMPARE(seen, "4");
        QCOMPARE(count.Value.AsString(), "4!");
    }

    void a_newer_version_ignores_older_values_and_saves_its_own()
    {
        Store("FormVersion", "1");
        Store("Edit1_Text", "old");
        Store("NormPos", "10,20,310,220");
        Form form;
        form.storage->SetVersion(2);
        form.Load();
        form.window.show();
        QCOMPARE(form.edit->text(), QStringLiteral(" designed "));
        QCOMPARE(form.window.pos(), QPoint(50, 60));
        form.window.close();
        QCOMPARE(Stored("FormVersion"), "2");
        QCOMPARE(Stored("Edit1_Text"), "designed");
    }

    void show_command_and_focused_control_come_back()
    {
        Store("FormVersion", "0");
        Store("ShowCmd", "3");
        Store("ActiveControl", "SpinBox1");
        Form form;
        form.storage->SetOptions(form.storage->Options() | TPlacementOption::fpActiveControl);
        form.Load();
        form.window.show();
        QVERIFY(form.window.isMaximized());
        QVERIFY(QTest::qWaitForWindowActive(&form.window));
        QCOMPARE(QApplication::focusWidget(), form.spin);
        form.window.showNormal();
        form.check->setFocus();
        form.window.close();
        QCOMPARE(Stored("ShowCmd"), "1");
        QCOMPARE(Stored("ActiveControl"), "CheckBox1");
    }

    void without_options_nothing_of_the_placement_is_restored()
    {
        Store("FormVersion", "0");
        Store("NormPos", "10,20,110,120");
        Store("ShowCmd", "3");
        Form form;
        form.storage->SetOptions({});
        form.Load();
        form.window.show();
        QCOMPARE(form.window.pos(), QPoint(50, 60));
        QVERIFY(!form.window.isMaximized());
    }

    void a_stored_place_off_the_screen_is_pulled_inside_with_its_size()
    {
        Store("FormVersion", "0");
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        // Stored on a screen twice as large, and one above and left of this one.
        Store("NormPos", QStringLiteral("%1,%2,%3,%4")
                             .arg(area.right() + 700)
                             .arg(area.bottom() + 400)
                             .arg(area.right() + 1000)
                             .arg(area.bottom() + 600)
                             .toStdString());
        {
            Form form;
            form.Load();
            form.window.show();
            QCOMPARE(form.window.frameGeometry().size(), QSize(300, 200));
            QVERIFY(area.contains(form.window.frameGeometry()));
            QCOMPARE(form.window.frameGeometry().bottomRight(), area.bottomRight());
        }
        // The first window kept its place under this screen's name when it went.
        Form form;
        Store("NormPos" + ScreenSuffix(form.window), "-50,-70,250,330");
        form.Load();
        form.window.show();
        QCOMPARE(form.window.frameGeometry().size(), QSize(300, 400));
        QCOMPARE(form.window.pos(), area.topLeft());
    }

    void kept_inside_moves_a_rectangle_the_least_and_keeps_its_size_data()
    {
        QTest::addColumn<QRect>("frame");
        QTest::addColumn<QPoint>("kept");
        const QRect area(100, 50, 1280, 1024);
        QTest::newRow("inside") << QRect(300, 200, 331, 91) << QPoint(300, 200);
        QTest::newRow("beyond both") << QRect(1980, 1424, 331, 91) << QPoint(1049, 983);
        QTest::newRow("left and above") << QRect(-400, -10, 331, 91) << QPoint(100, 50);
        QTest::newRow("across the right edge") << QRect(1200, 300, 331, 91) << QPoint(1049, 300);
        QTest::newRow("wider than the area") << QRect(500, 300, 2000, 91) << QPoint(100, 300);
        QTest::newRow("touching the edge") << QRect(1049, 983, 331, 91) << QPoint(1049, 983);
    }
    void kept_inside_moves_a_rectangle_the_least_and_keeps_its_size()
    {
        QFETCH(QRect, frame);
        QFETCH(QPoint, kept);
        const QRect area(100, 50, 1280, 1024);
        const QRect result = KeptInside(frame, area);
        QCOMPARE(result.topLeft(), kept);
        QCOMPARE(result.size(), frame.size());
    }

    void a_sizeable_window_takes_its_stored_size()
    {
        Store("FormVersion", "0");
        const QSize frameExtra = [] {
            Form probe;
            probe.Load();
            probe.storage->SetActive(false);
            probe.window.show();
            return probe.window.frameGeometry().size() - probe.window.size();
        }();
        Store("NormPos", "10,20,410,320");
        Form form;
        form.Load();
        form.window.show();
        QCOMPARE(form.window.pos(), QPoint(10, 20));
        QCOMPARE(form.window.size(), QSize(400, 300) - frameExtra);
    }

    void a_plain_window_saves_only_when_its_close_goes_through()
    {
        Form form;
        form.Load();
        form.window.show();
        form.window.allowClose = false;
        form.edit->setText(QStringLiteral("kept open"));
        QVERIFY(!form.window.close());
        QCOMPARE(Stored("Edit1_Text"), "<missing>");
        form.window.allowClose = true;
        QVERIFY(form.window.close());
        QCOMPARE(Stored("Edit1_Text"), "kept open");
    }

    void the_ini_file_back_end_keeps_the_same_sections_and_idents()
    {
        const std::string file = home_->filePath(QStringLiteral("form.ini")).toStdString();
        {
            Form form(false, file);
            form.Load();
            form.window.show();
            form.edit->setText(QStringLiteral("\"quoted\""));
            form.spin->setValue(7);
            form.window.close();
        }
        std::ifstream in(file);
        std::stringstream text;
        text << in.rdbuf();
        QVERIFY(text.str().starts_with("[Window]\nFormVersion=0\n"));
        QVERIFY(text.str().find("\nEdit1_Text=\"\"quoted\"\"\n") != std::string::npos);
        QVERIFY(text.str().find("\nSpinBox1_Value=7\n") != std::string::npos);
        QVERIFY(!TRegistry().KeyExists("\\Test"));

        Form form(false, file);
        form.Load();
        form.window.show();
        QCOMPARE(form.edit->text(), QStringLiteral("\"quoted\""));
        QCOMPARE(form.spin->value(), 7);

        TIniFile ini(file);
        QCOMPARE(ini.ReadString("window", "spinbox1_value", "x"), "7");
        ini.EraseSection("Window");
        QCOMPARE(ini.ReadString("Window", "SpinBox1_Value", "x"), "x");
    }

    void another_registry_root_is_a_file_of_its_own()
    {
        {
            Form form;
            form.storage->SetRegistryRoot(TPlacementRegRoot::prLocalMachine);
            form.Load();
            form.window.show();
            form.window.close();
        }
        // The key path is still opened (and made) under the current user's root; the section
        // is looked for from the top of the other root.
        QVERIFY(TRegistry().KeyExists("\\Test"));
        QVERIFY(!TRegistry().KeyExists(kSection));
        TRegistry machine(TRegistryFile(RegistryFilePath("local-machine")));
        QVERIFY(machine.OpenKeyReadOnly("\\Window"));
        QCOMPARE(machine.ReadString("Edit1_Text"), "designed");
    }

    void section_values_can_be_read_and_written_directly()
    {
        Form form;
        form.Load();
        form.storage->WriteSectionInteger("Answer", 42);
        form.storage->WriteSectionString("Word", "text");
        QCOMPARE(form.storage->ReadSectionInteger("Answer", 0), 42);
        QCOMPARE(form.storage->ReadSectionInteger("Word", -1), -1);
        QCOMPARE(form.storage->ReadSectionString("Missing", "default"), "default");
        QCOMPARE(Stored("Answer"), "42");
    }

    void one_restore_reads_the_file_once()
    {
        {
            Form form;
            form.Load();
            form.window.show();
            form.window.close();
        }
        Form form;
        form.Load();
        const std::uint64_t loads = RegistryFileLoads();
        form.window.show();
        QCOMPARE(RegistryFileLoads() - loads, std::uint64_t{1});
        QCOMPARE(form.edit->text(), QStringLiteral("designed"));
    }

    // The panel's own handlers: warnings logged, a damaged file kept aside told in the box.
    void a_damaged_store_gives_one_box_naming_the_kept_file()
    {
        const test::TErrorBoxRecorder boxes;
        LogRegistryWarnings();
        const QString file = home_->filePath(QStringLiteral("velkor/registry.txt"));
        const QByteArray damaged("velkor-registry 1\nkey \"Test\"\nvalue \"x\" dword -1\nend\n");
        QVERIFY(QDir().mkpath(QFileInfo(file).path()));
        {
            QFile out(file);
            QVERIFY(out.open(QIODevice::WriteOnly));
            out.write(damaged);
        }
        // The defaults first, then what was saved over them; the box comes once.
        for (const QString &shown : {QStringLiteral("designed"), QStringLiteral("typed")}) {
            Form form;
            form.Load();
            form.window.show();
            QCOMPARE(form.edit->text(), shown);
            form.edit->setText(QStringLiteral("typed"));
            form.window.close();
        }
        const QStringList kept =
            QDir(QFileInfo(file).path()).entryList({QStringLiteral("registry.txt.damaged-*")});
        QCOMPARE(kept.size(), 1);
        const QString keptPath = QFileInfo(file).path() + QLatin1Char('/') + kept.front();
        QCOMPARE(boxes.texts,
                 QStringList{QStringLiteral("The settings file ") + file +
                             QStringLiteral(" was damaged (Registry file line 3: bad dword) and "
                                            "has been kept as ") +
                             keptPath +
                             QStringLiteral("; the settings start again from their defaults.")});
        QFile in(keptPath);
        QVERIFY(in.open(QIODevice::ReadOnly));
        QCOMPARE(in.readAll(), damaged);
        QCOMPARE(Stored("Edit1_Text"), "typed");
    }

    void a_store_that_cannot_be_read_is_reported_and_left_alone()
    {
        const test::TErrorBoxRecorder boxes;
        LogRegistryWarnings();
        const QString file = home_->filePath(QStringLiteral("velkor/registry.txt"));
        QVERIFY(QDir().mkpath(file)); // a directory in the file's place: it cannot be read
        {
            Form form;
            form.Load();
            form.window.show();
            form.edit->setText(QStringLiteral("typed"));
            form.window.close();
        }
        QCOMPARE(boxes.texts, QStringList{QStringLiteral("Cannot read ") + file +
                                          QStringLiteral(": Is a directory.")});
        QVERIFY(QFileInfo(file).isDir());
        QVERIFY(QDir(QFileInfo(file).path())
                    .entryList({QStringLiteral("registry.txt.*")}, QDir::Files)
                    .filter(QStringLiteral("damaged"))
                    .isEmpty());
    }

private:
    std::unique_ptr<TemporaryConfigHome> home_;
};

} // namespace velkor

QTEST_MAIN(velkor::FormStorageTest)
#include "form_storage_test.moc"
