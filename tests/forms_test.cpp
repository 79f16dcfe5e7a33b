// The three windows' logic with recording views and a recording registry.
#include <gtest/gtest.h>

#include <memory>

#include "platform/linux/SqliteRegistry.h"
#include "support/Fakes.h"
#include "support/RecordingRegistry.h"
#include "support/RecordingViews.h"
#include "ui/Texts.h"

namespace dornava {
namespace {

using test::VectorList;

class FormsTest : public ::testing::Test {
 protected:
  FormsTest() : recorder_(*raw_), registr_(recorder_) {
    files_.existing = {"C:\\Tapety\\les.bmp", "C:\\Tapety\\Zima\\sníh.bmp", "C:\\notes.txt"};
  }

  // Stores the lines and loads them as the program's start does.
  void Start(std::vector<std::string> lines) {
    Registr plain(*raw_);
    RewriteSchedule(plain, VectorList(std::move(lines)));
    main_.FormLoad();
    recorder_.calls.clear();
  }
  std::vector<std::string> Stored() {
    Registr plain(*raw_);
    VectorList list;
    LoadSchedule(plain, list);
    return list.items;
  }
  const std::vector<std::string>& Shown() const { return listView_.list.items; }
  int Selected() const { return listView_.list.selected; }

  std::unique_ptr<SqliteRegistry> raw_ = SqliteRegistry::Open(":memory:", nullptr);
  test::RecordingRegistry recorder_;
  Registr registr_;
  test::RecordingListView listView_;
  test::RecordingAddView addView_;
  test::RecordingAboutView aboutView_;
  test::FakeDialogs dialogs_;
  test::FakeFiles files_;
  test::RecordingLinks links_;
  test::FakeEnvironment environment_;
  test::FakeClock clock_;
  test::RecordingWallpaper wallpaper_;
  frmAdd add_{addView_, registr_, dialogs_, files_};
  frmAbout about_{aboutView_, links_};
  frmList main_{listView_, add_, about_, registr_,
                SystemServices{environment_, clock_, clock_, wallpaper_}};
};

TEST_F(FormsTest, AddResetsTheEditorAndAppendsOnOk) {
  Start({"S 01:00 - a", "S 02:00 - b", "S 03:00 - c"});
  listView_.list.selected = 2;
  addView_.whileShown = [&] {
    EXPECT_EQ(addView_.Fields(), "00|00||S");
    EXPECT_FALSE(add_.edit());
    // The user types 9 and 75, picks a picture, chooses "from Start" and presses Enter at
    // once: the hour field never lost the focus.
    addView_.text[0] = "9";
    addView_.text[1] = "75";
    add_.Text2LostFocus();
    EXPECT_EQ(addView_.text[1], "15");
    dialogs_.answer = "C:\\Tapety\\les.bmp";
    add_.Command1Click();
    addView_.option1 = false;
    add_.Command2Click();
  };
  main_.Command1Click();
  const std::vector<std::string> expected = {"S 01:00 - a", "S 02:00 - b", "S 03:00 - c",
                                             "R 09:15 - C:\\Tapety\\les.bmp"};
  EXPECT_EQ(Shown(), expected);
  EXPECT_EQ(Stored(), expected);
  EXPECT_EQ(Selected(), 0) << "the first entry is selected afterwards, not the new one";
  EXPECT_FALSE(addView_.shown);
  EXPECT_EQ(addView_.previews, std::vector<std::string>{"C:\\Tapety\\les.bmp"});

  // A second "Přidat" starts from scratch again, whatever was entered before.
  addView_.whileShown = [&] { EXPECT_EQ(addView_.Fields(), "00|00||S"); };
  main_.Command1Click();
  EXPECT_EQ(addView_.previews.back(), "") << "clearing the path clears the preview";
}

// Row: the picture the user picks (none, missing or existing), whether OK or the close box ends
// the editor → the line added (none: the store is untouched) and the complaint shown, if any.
TEST_F(FormsTest, OnlyAConfirmedExistingPictureIsAdded) {
  const std::string complaint = "Dornava: Soubor tapety neexistuje";
  const struct {
    const char* picked;
    bool ok;
    const char* added;  // none: the store is untouched
    std::vector<std::string> messages;
  } rows[] = {{"C:\\Tapety\\les.bmp", true, "S 00:00 - C:\\Tapety\\les.bmp", {}},
              {"C:\\Tapety\\les.bmp", false, nullptr, {}},
              {"", true, nullptr, {complaint}},
              {"C:\\Tapety\\gone.bmp", true, nullptr, {complaint}}};
  for (const auto& row : rows) {
    Start({});
    addView_.messages.clear();
    addView_.whileShown = [&] {
      dialogs_.answer = row.picked;
      add_.Command1Click();
      if (row.ok) add_.Command2Click();
      if (!row.added) {
        EXPECT_TRUE(addView_.CloseBox(add_)) << "the adding editor may be closed";
      }
    };
    main_.Command1Click();
    EXPECT_EQ(Shown(),
              row.added ? std::vector<std::string>{row.added} : std::vector<std::string>{});
    EXPECT_EQ(recorder_.Count("Set"), row.added ? 1 : 0) << row.picked;
    EXPECT_EQ(listView_.editButtonsEnabled, row.added != nullptr);
    EXPECT_EQ(Selected(), row.added ? 0 : -1);
    EXPECT_EQ(addView_.messages, row.messages);
  }
}

// The entry being edited leaves the list and the store until OK; then it goes to the end. Its
// fields are read by position, a lower-case s counting from Start.
TEST_F(FormsTest, AnEditedEntryLeavesUntilOkThenGoesToTheEnd) {
  Start({"S 01:00 - a", "s 02:00 - C:\\Tapety\\les.bmp", "S 03:00 - c"});
  listView_.list.selected = 1;
  addView_.whileShown = [&] {
    EXPECT_EQ(Shown(), (std::vector<std::string>{"S 01:00 - a", "S 03:00 - c"}));
    EXPECT_EQ(Stored(), Shown());
    EXPECT_TRUE(add_.edit());
    EXPECT_EQ(addView_.Fields(), "02|00|C:\\Tapety\\les.bmp|R");
    EXPECT_FALSE(addView_.CloseBox(add_)) << "the close box is refused while editing";
    addView_.text[0] = "8";
    add_.Text1LostFocus();
    add_.Command2Click();
  };
  main_.Command3Click();
  const std::vector<std::string> expected = {"S 01:00 - a", "S 03:00 - c",
                                             "R 08:00 - C:\\Tapety\\les.bmp"};
  EXPECT_EQ(Shown(), expected);
  EXPECT_EQ(Stored(), expected);
  EXPECT_EQ(recorder_.Count("Create"), 2) << "two rewrites: the delete's and the editor's";
}

TEST_F(FormsTest, DeleteRenumbersAndDisablesOnTheLast) {
  Start({"S 01:00 - a", "S 02:00 - b", "S 03:00 - c"});
  main_.Command2Click();
  EXPECT_EQ(Shown(), (std::vector<std::string>{"S 02:00 - b", "S 03:00 - c"}));
  EXPECT_EQ(Stored(), Shown());
  EXPECT_EQ(Selected(), 0);
  main_.Command2Click();
  main_.Command2Click();
  EXPECT_TRUE(Shown().empty());
  EXPECT_TRUE(Stored().empty());
  EXPECT_FALSE(listView_.editButtonsEnabled);
}

TEST_F(FormsTest, WithoutASelectionDeleteAndEditTouchNothing) {
  Start({"S 01:00 - a"});
  listView_.list.selected = -1;
  bool shown = false;
  addView_.whileShown = [&] { shown = true; };
  main_.Command2Click();
  main_.Command3Click();
  EXPECT_EQ(Shown(), std::vector<std::string>{"S 01:00 - a"});
  EXPECT_TRUE(recorder_.calls.empty());
  EXPECT_FALSE(shown);
}

TEST_F(FormsTest, TimeFieldsTakeTheirNormalForm) {
  const struct {
    const char *typed, *hour, *minute;
  } table[] = {{"", "00", "00"},   {"7", "07", "07"},  {"23", "23", "23"}, {"24", "00", "24"},
               {"25", "01", "25"}, {"59", "11", "59"}, {"60", "12", "00"}, {"75", "03", "15"},
               {"99", "03", "39"}, {"-5", "00", "00"}, {".5", "00", "00"}, {"1.9", "01", "01"},
               {"x7", "00", "00"}, {"123", "03", "03"}};
  add_.Ensure();
  for (const auto& row : table) {
    addView_.text[0] = addView_.text[1] = row.typed;
    add_.Text1LostFocus();
    add_.Text2LostFocus();
    EXPECT_EQ(addView_.text[0], row.hour) << '"' << row.typed << '"';
    EXPECT_EQ(addView_.text[1], row.minute) << '"' << row.typed << '"';
  }
}

TEST_F(FormsTest, BrowsingRemembersTheFolderButNotACancel) {
  add_.Ensure();
  dialogs_.answer = "C:\\Tapety\\Zima\\sníh.bmp";
  add_.Command1Click();
  EXPECT_EQ(add_.LastDir(), "C:\\Tapety\\Zima\\");
  EXPECT_EQ(addView_.text[2], "C:\\Tapety\\Zima\\sníh.bmp");
  EXPECT_EQ(dialogs_.owner, 0x1234u);

  dialogs_.answer.clear();
  add_.Command1Click();
  EXPECT_EQ(dialogs_.initialDirs.back(), "C:\\Tapety\\Zima\\");
  EXPECT_EQ(add_.LastDir(), "C:\\Tapety\\Zima\\");
  EXPECT_EQ(addView_.text[2], "C:\\Tapety\\Zima\\sníh.bmp");
  EXPECT_EQ(addView_.previews.size(), 1u);

  // A text file is accepted when it exists; its preview is the view's business.
  dialogs_.answer = "C:\\notes.txt";
  add_.Command1Click();
  EXPECT_EQ(add_.LastDir(), "C:\\");
  files_.separator = '/';
  dialogs_.answer = "/home/eva/a\\b.bmp";
  add_.Command1Click();
  EXPECT_EQ(add_.LastDir(), "/home/eva/");
}

TEST_F(FormsTest, AnEndingSessionPutsTheEntryBeingChangedBack) {
  Start({"S 01:00 - a", "S 02:00 - b"});
  listView_.list.selected = 1;
  addView_.whileShown = [&] {
    EXPECT_EQ(Stored(), std::vector<std::string>{"S 01:00 - a"});
    add_.SessionEnding();
  };
  main_.Command3Click();
  EXPECT_EQ(Stored(), (std::vector<std::string>{"S 01:00 - a", "S 02:00 - b"}));
  // While adding there is nothing to put back.
  addView_.whileShown = [&] { add_.SessionEnding(); };
  main_.Command1Click();
  EXPECT_EQ(Stored().size(), 2u);
  // Nor once an edit was confirmed: the changed line is stored, the old one stays gone.
  files_.existing.insert("b");
  listView_.list.selected = 1;
  addView_.whileShown = [&] {
    addView_.text[0] = "03";
    add_.Command2Click();
  };
  main_.Command3Click();
  add_.SessionEnding();
  EXPECT_EQ(Stored(), (std::vector<std::string>{"S 01:00 - a", "S 03:00 - b"}));
}

TEST_F(FormsTest, AboutWindowLinksAndMenus) {
  aboutView_.whileShown = [&] {
    about_.Label1Click();
    about_.Label2Click();
    about_.Label7Click();
    about_.MenuClick(AboutMenuItem::kMail);
    about_.MenuClick(AboutMenuItem::kHome);
    about_.MenuClick(AboutMenuItem::kMailN);
    about_.MenuClick(AboutMenuItem::kHomeN);
  };
  main_.Command5Click();
  EXPECT_EQ(aboutView_.popups, (std::vector<AboutMenu>{AboutMenu::kNapad, AboutMenu::kMoje}));
  const std::vector<std::string_view> links = {texts::kMakerHome, texts::kProgramAuthorMail,
                                               texts::kProgramAuthorHome, texts::kIdeaAuthorMail,
                                               texts::kIdeaAuthorHome};
  EXPECT_EQ(links_.opened, std::vector<std::string>(links.begin(), links.end()));
  // Opened twice, it is made anew and shows the banner both times.
  aboutView_.whileShown = nullptr;
  main_.Command5Click();
  EXPECT_EQ(aboutView_.creations, 2);
  EXPECT_EQ(aboutView_.banners, 2);
}

}  // namespace
}  // namespace dornava
