// The entry editor: the size limit, the question "Выход" and its three answers, the
// date from the calendar, the conversion from code page 866, and a write-back that
// fails (a full disk, a blocked scratch file, a read-only folder) leaving the
// collection file byte for byte.
#include <sys/resource.h>
#include <unistd.h>

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <csignal>

#include "common/codepage.h"
#include "common/ui/dkalend.h"
#include "common/ui/qt_text.h"
#include "texts/entry_editor.h"
#include "texts/ui/entry_edit_window.h"
#include "texts/ui/tests/texts_ui_support.h"

namespace kv {
namespace {

// The editor a test drives: the one shown modally now.
DFrm* ModalEditor() { return qobject_cast<DFrm*>(QApplication::activeModalWidget()); }

// Runs `edit` on the editor once it shows, saves, runs `after_save` and closes it.
void WhenEditorShows(std::function<void(DFrm*)> edit, std::function<void()> after_save = {}) {
  QTimer::singleShot(0, [edit, after_save] {
    if (DFrm* e = ModalEditor()) {
      edit(e);
      e->Command(kCmdEditorSave);
      if (after_save) after_save();
      e->Command(kCmdEditorClose);
    }
  });
}

void Append(DFrm* e, const char* utf8) {
  e->Edit()->moveCursor(QTextCursor::End);
  e->Edit()->insertPlainText(QString::fromUtf8(utf8));
}

bool AcceptMarch7(QWidget*, DateTimeRecord& d) {
  d.day = 7;
  d.month = 3;
  d.year = 2024;
  return true;
}

}  // namespace

class EditorWindowTest : public QObject {
  Q_OBJECT
 private slots:
  void init() {
    work_ = std::make_unique<test::ScratchWorkdir>();
    work_->Write866("zdp.csr", {"FILES=zdp2.csr", "@p01 * Солнце", "Солнце.", "@p02", "Луна."});
    work_->Write866("zdp2.csr", {"@p01z05", "Солнце во Льве.", "", "@p01z06", "Солнце в Деве."});
    collection_ = work_->ReadBytes("zdp2.csr");
  }
  void cleanup() {
    DFrm::SetExitQuestion(nullptr);
    test::CloseAllWindows();
    work_.reset();
  }

  // 64000 bytes open; 64001 bytes do not, after "Файл слишком велик" captioned "DEW".
  void sizeLimit() {
    work_->WriteBytes("fits.tmp", std::string(63999, 'a') + "\n");
    work_->WriteBytes("big.tmp", std::string(64000, 'a') + "\n");
    DFrm fits(*work_ / "fits.tmp");
    QVERIFY(fits.Load());
    QCOMPARE(fits.Edit()->toPlainText().size(), 63999);
    QString caption, text;
    QTimer::singleShot(0, [&] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        caption = box->windowTitle();
        text = box->text();
        box->accept();
      }
    });
    DFrm big(*work_ / "big.tmp");
    QVERIFY(!big.Load());
    QCOMPARE(caption, QStringLiteral("DEW"));
    QCOMPARE(text, QString::fromUtf8("Файл слишком велик"));
  }

  // Closing with changes asks "Выход": "Продолжить редакт." keeps the window,
  // "Не сохранять" closes without writing, "Сохранить" writes and closes.
  void exitQuestion() {
    work_->Write1251("entry.tmp", {"@p01", "Текст."});
    const std::string before = work_->ReadBytes("entry.tmp");
    DFrm editor(*work_ / "entry.tmp");
    QVERIFY(editor.Load());
    editor.show();
    // Unchanged: closes without asking.
    bool asked = false;
    DFrm::SetExitQuestion([&asked](QWidget*) {
      asked = true;
      return ExitAnswer::kGoOn;
    });
    editor.close();
    QVERIFY(!asked);
    QVERIFY(!editor.isVisible());

    editor.show();
    Append(&editor, "\nНовая строка.");
    DFrm::SetExitQuestion(nullptr);
    QStringList labels;
    std::string help_key;
    auto answer = [&](int command) {
      QTimer::singleShot(0, [&labels, &help_key, command] {
        auto* q = qobject_cast<DExitQuestion*>(QApplication::activeModalWidget());
        if (!q) return;
        labels.clear();
        for (int id : {kCmdExitDontSave, kCmdExitSave, kCmdExitGoOn})
          labels << q->ControlAs<QPushButton>(id)->text();
        help_key = q->HelpKey();
        q->ControlAs<QPushButton>(command)->click();
      });
    };
    answer(kCmdExitGoOn);
    editor.close();
    QCOMPARE(labels, QStringList({QString::fromUtf8("Не сохранять"), QString::fromUtf8("Сохранить"),
                                  QString::fromUtf8("Продолжить редакт.")}));
    QCOMPARE(help_key, std::string("EDIT"));
    QVERIFY(editor.isVisible());

    answer(kCmdExitDontSave);
    editor.close();
    QVERIFY(!editor.isVisible());
    QVERIFY(!editor.Saved());
    QCOMPARE(work_->ReadBytes("entry.tmp"), before);

    DFrm again(*work_ / "entry.tmp");
    QVERIFY(again.Load());
    again.show();
    Append(&again, "\nНовая строка.");
    answer(kCmdExitSave);
    again.close();
    QVERIFY(!again.isVisible());
    QVERIFY(again.Saved());
    QCOMPARE(FromCp1251(work_->ReadBytes("entry.tmp")), QString::fromUtf8("@p01\nТекст.\nНовая строка."));
  }

  // "Вставить дату..." puts the day the calendar gave at the caret.
  void insertsTheCalendarsDate() {
    work_->Write1251("entry.tmp", {"@p01"});
    DFrm editor(*work_ / "entry.tmp");
    QVERIFY(editor.Load());
    editor.Edit()->moveCursor(QTextCursor::End);
    CalendarRunner old = SetCalendarRunner(&AcceptMarch7);
    editor.Command(kCmdEditorDate);
    SetCalendarRunner(old);
    QVERIFY(editor.Edit()->toPlainText().contains(QStringLiteral("07.03.2024")));
  }

  // A text pasted from DOS and converted reaches the collection as the right 866
  // bytes: the temporary file keeps the converted text in 1251, and only the
  // write-back converts it to 866, once.
  void convertedTextGoesBackOnce() {
    WhenEditorShows([](DFrm* e) {
      const QString dos = FromCp1251(test::To866("Солнце во Льве. Исправлено."));
      e->Edit()->setPlainText(QString::fromUtf8("@p01z05\n") + dos);
      e->Command(kCmdEditorFrom866);
      QVERIFY(e->Converted());
    });
    QCOMPARE(EditCollectionText(nullptr, "zdp.csr", "p01z05"), EditResult::kSaved);
    // The key line went through the conversion too: "@p01z05" is plain ASCII, the same
    // in both pages.
    QCOMPARE(FromCp1251(Cp866ToCp1251(work_->ReadBytes("zdp2.csr"))),
             FromCp1251(Cp866ToCp1251(test::To866("@p01z05\nСолнце во Льве. Исправлено.\n@p01z06\nСолнце в Деве.\n"))));
  }

  // An edit not saved leaves everything as it was, temporary file included.
  void notSavedChangesNothing() {
    QTimer::singleShot(0, [] {
      if (DFrm* e = ModalEditor()) {
        Append(e, "\nлишнее");
        DFrm::SetExitQuestion([](QWidget*) { return ExitAnswer::kDontSave; });
        e->Command(kCmdEditorClose);
      }
    });
    QCOMPARE(EditCollectionText(nullptr, "zdp.csr", "p01z05"), EditResult::kNotSaved);
    QCOMPARE(work_->ReadBytes("zdp2.csr"), collection_);
    for (const auto& f : std::filesystem::directory_iterator(work_->Path()))
      QVERIFY2(f.path().extension() != ".tmp", qPrintable(QString::fromStdString(f.path().string())));
  }

  // The disk fills while "p2.tmp" is written: the collection stays byte for byte.
  void fullDiskKeepsTheCollection() {
    struct rlimit old {};
    getrlimit(RLIMIT_FSIZE, &old);
    auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
    bool limited = false;
    // The limit comes once the editor has saved: the write-back then meets it.
    WhenEditorShows([](DFrm* e) { Append(e, "\nДобавка."); },
                    [&limited] {
                      struct rlimit tiny {16, RLIM_INFINITY};
                      limited = setrlimit(RLIMIT_FSIZE, &tiny) == 0;
                    });
    const EditResult result = EditCollectionText(nullptr, "zdp.csr", "p01z05");
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, old_handler);
    QVERIFY(limited);
    QCOMPARE(result, EditResult::kFailed);
    QCOMPARE(work_->ReadBytes("zdp2.csr"), collection_);
    QVERIFY(!std::filesystem::exists(*work_ / "p2.tmp"));
    QVERIFY(!test::Warnings().empty());
  }

  // Something else holds the name "p2.tmp": nothing is replaced.
  void blockedScratchFileKeepsTheCollection() {
    std::filesystem::create_directory(*work_ / "p2.tmp");
    WhenEditorShows([](DFrm* e) { Append(e, "\nДобавка."); });
    QCOMPARE(EditCollectionText(nullptr, "zdp.csr", "p01z05"), EditResult::kFailed);
    QCOMPARE(work_->ReadBytes("zdp2.csr"), collection_);
    QVERIFY(std::filesystem::is_directory(*work_ / "p2.tmp"));
    QCOMPARE(test::Warnings(), std::vector<std::string>{W("Не удаётся создать временный файл в рабочем каталоге.")});
  }

  // The folder turned read-only while the user edited (not for root, who writes anyway).
  void readOnlyFolderKeepsTheCollection() {
    if (geteuid() == 0) QSKIP("root writes into read-only folders; the two tests above cover it");
    WhenEditorShows([](DFrm* e) { Append(e, "\nДобавка."); },
                    [this] {
                      std::filesystem::permissions(work_->Path(), std::filesystem::perms::owner_write,
                                                   std::filesystem::perm_options::remove);
                    });
    const EditResult result = EditCollectionText(nullptr, "zdp.csr", "p01z05");
    std::filesystem::permissions(work_->Path(), std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add);
    QCOMPARE(result, EditResult::kFailed);
    QCOMPARE(work_->ReadBytes("zdp2.csr"), collection_);
  }

 private:
  std::unique_ptr<test::ScratchWorkdir> work_;
  std::string collection_;
};

}  // namespace kv

QTEST_MAIN(kv::EditorWindowTest)
#include "editor_window_test.moc"
