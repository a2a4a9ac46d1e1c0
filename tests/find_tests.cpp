// Find in the notes: the window-free search of a page's text, and the Find dialog with F3 and
// Shift+F3 through all five pages.
#include "support/program_fixture.h"
#include "support/user_input.h"

#include "app/app_state.h"
#include "storage/settings_record.h"
#include "support/code_page_alphabet.h"
#include "ui/find.h"
#include "ui/text_search.h"

#include <dlgs.h>

using namespace std::string_literals;

TEST(TextSearch, FindsTheMatchInEitherDirection) {
    enum { CASE = 1, WORD = 2, UP = 4, CODE_PAGE = 8 };
    struct Case {
        std::string text;
        std::string what;
        int options;
        size_t from;
        size_t found;
    } cases[] = {
        {"abcabc", "abc", 0, 0, 0},
        {"abcabc", "abc", 0, 1, 3},
        {"abcabc", "abc", 0, 4, NO_MATCH},
        {"abcabc", "abc", UP, 6, 3},
        {"abcabc", "abc", UP, 5, 0},
        {"abcabc", "abc", UP, 2, NO_MATCH},
        {"abc", "c", 0, 2, 2},
        {"abc", "c", 0, 3, NO_MATCH},
        {"abc", "c", UP, 99, 2},
        {"abc", "a", UP, 1, 0},
        {"abc", "a", UP, 0, NO_MATCH},
        {"aaaa", "aa", 0, 1, 1},
        {"aaaa", "aa", UP, 4, 2},
        {"aaaa", "aa", UP, 3, 1},
        {"abaabab", "abab", 0, 0, 3},
        {"abab", "aba", UP, 4, 0},
        {"abc", "", 0, 0, NO_MATCH},
        {"abc", "", UP, 3, NO_MATCH},
        {"ab", "abc", 0, 0, NO_MATCH},
        {"ab", "abc", UP, 2, NO_MATCH},
        {"xxHELLOxx", "hello", 0, 0, 2},
        {"xxHELLOxx", "hello", UP, 9, 2},
        {"xxHELLOxx", "hello", CASE, 0, NO_MATCH},
        {"hello Hello", "Hello", CASE, 0, 6},
        {"hello Hello", "hello", CASE | UP, 11, 0},
        {"concat cat", "cat", WORD, 0, 7},
        {"cat concat", "cat", WORD | UP, 10, 0},
        {"scat", "cat", WORD, 1, NO_MATCH},
        {"cats", "cat", WORD | UP, 3, NO_MATCH},
        {"cat9 (cat)", "cat", WORD, 0, 6},
        {"x\r\ncat\r\n", "cat", WORD, 0, 3},
        {"\xE9top", "top", WORD, 0, 1},
        {"\xE9top", "top", WORD | CODE_PAGE, 0, NO_MATCH},
        {"\xD7top\xF7", "top", WORD | CODE_PAGE, 0, 1},
        {"CAF\xC9", "caf\xE9", CODE_PAGE, 0, 0},
        {"CAF\xC9", "caf\xE9", 0, 0, NO_MATCH},
        {"caf\xC9", "caf\xE9", CODE_PAGE | CASE, 0, NO_MATCH},
        {"concatenations of cats and a Cat, a cat.", "cat", WORD, 0, 29},
        {"concatenations of cats and a Cat, a cat.", "cat", WORD | CASE | UP, 40, 36},
        {"concatenations of cats and a Cat, a cat.", "cat", WORD | UP, 36, 29},
        {"caf\xE9s, caf\xC9 and caf\xE9s and caf\xE9s and caf\xE9s", "caf\xE9", WORD | CODE_PAGE, 0,
         7},
        {"a\0b\0c"s, "\0c"s, 0, 0, 3},
        {"a\0b\0c"s, "b\0"s, UP, 5, 2},
        {"\0cat\0"s, "cat", WORD, 0, 1},
    };
    SearchAlphabet ascii = asciiAlphabet();
    SearchAlphabet codePage = codePageAlphabet();
    for (const Case& c : cases) {
        SearchOptions options = {(c.options & CASE) != 0, (c.options & WORD) != 0,
                                 !(c.options & UP)};
        EXPECT_EQ(findInText(c.text.data(), c.text.size(), c.what.data(), c.what.size(), options,
                             c.from, c.options & CODE_PAGE ? codePage : ascii),
                  c.found)
            << '"' << c.text << "\" \"" << c.what << "\" options " << c.options << " from "
            << c.from;
    }
}

// Find in the notes. The system's Find dialog is modeless: the test works it as the user does,
// and its Find Next reaches the program as the dialog's message.
class Find : public ProgramTest {
  protected:
    void findNext(const char* what, DWORD options = 0) {
        HWND dialog = findDialog();
        ASSERT_NE(dialog, nullptr);
        SetDlgItemTextA(dialog, edt1, what);
        CheckDlgButton(dialog, chx1, options & FR_WHOLEWORD ? BST_CHECKED : BST_UNCHECKED);
        CheckDlgButton(dialog, chx2, options & FR_MATCHCASE ? BST_CHECKED : BST_UNCHECKED);
        CheckRadioButton(dialog, rad1, rad2, options & FR_DOWN ? rad2 : rad1);
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
    }
    // The page shown and the selection on it.
    std::vector<DWORD> found() const {
        DWORD from = 0, to = 0;
        SendMessageA(noteEditor, EM_GETSEL, reinterpret_cast<WPARAM>(&from),
                     reinterpret_cast<LPARAM>(&to));
        return {static_cast<DWORD>(currentPage), from, to};
    }
};

TEST_F(Find, SearchesFromTheCaretThenTheOtherPagesInTheirFilesThenTheRestOfThePage) {
    const char* pages[] = {"alpha Beta gamma\r\nbeta again", "nothing here", "a beta on page 3",
                           "beta, but unreadable", "betamax"};
    for (int page = 0; page < PAGE_COUNT; ++page)
        writePageBytes(page, pages[page]);
    start();
    focusEditor();
    SendMessageA(noteEditor, EM_SETSEL, 6, 10);
    pressKeys({VK_CONTROL, 'F'});
    ASSERT_NE(findDialog(), nullptr);
    EXPECT_EQ(windowText(GetDlgItem(findDialog(), edt1)), "Beta") << "the selection is the search";
    HWND dialog = findDialog();
    command(IDM_FIND);
    EXPECT_EQ(findDialog(), dialog) << "Ctrl+F again brings the same dialog forward";
    typeText(" typed on page 1");
    SendMessageA(noteEditor, EM_SETSEL, 10, 10);
    ASSERT_TRUE(holdFile(pageFile(3)));
    const struct {
        DWORD options;
        std::vector<DWORD> found;
    } steps[] = {
        {FR_DOWN, {0, 18, 22}},
        {FR_DOWN, {2, 2, 6}},                 // another page, in its file: shown now
        {FR_DOWN, {4, 0, 4}},                 // past the page that cannot be read
        {FR_DOWN | FR_WHOLEWORD, {0, 6, 10}}, // after page 5 comes page 1
        {FR_DOWN | FR_MATCHCASE, {0, 18, 22}},
        {0, {0, 6, 10}}, // up
        {0, {4, 0, 4}},  // up: the pages before, from their end
    };
    for (const auto& step : steps) {
        findNext("beta", step.options);
        EXPECT_EQ(found(), step.found);
        EXPECT_EQ(selectedTab(), static_cast<int>(step.found[0]));
    }
    EXPECT_EQ(readFileBytes(pageFile(0)), std::string(pages[0]) + " typed on page 1")
        << "the page left was saved";
    releaseFile(pageFile(3));
    pressKeys({VK_F3});
    EXPECT_EQ(found(), (std::vector<DWORD>{0, 6, 10})) << "F3 goes on with the last search";
    pressKeys({VK_SHIFT, VK_F3});
    EXPECT_EQ(found(), (std::vector<DWORD>{4, 0, 4})) << "Shift+F3 goes back";
    ModalDriver driver;
    driver.ignore(findDialog());
    driver.then(answer(IDOK));
    findNext("zebra", FR_DOWN);
    ASSERT_EQ(driver.seenTexts.size(), 1u);
    EXPECT_EQ(driver.seenTexts[0], "Cannot find \"zebra\".");
    EXPECT_EQ(found(), (std::vector<DWORD>{4, 0, 4})) << "the selection stays";
    driver.then(answer(IDOK));
    typeText("zebra ");
    findNext("zebra", FR_DOWN);
    EXPECT_EQ(found(), (std::vector<DWORD>{4, 7, 12})) << "the text as typed, not as last searched";
    EXPECT_EQ(driver.seenTexts, std::vector<std::string>{"Cannot find \"zebra\"."});
}

TEST_F(Find, DialogTakesItsKeysWhileTheProgramsKeysStillWork) {
    start();
    pressKeys({VK_F3});
    ASSERT_NE(findDialog(), nullptr) << "F3 with no search yet opens the dialog";
    typeText("saved from the dialog");
    SetForegroundWindow(findDialog());
    SetFocus(GetDlgItem(findDialog(), edt1));
    pressKeys({VK_CONTROL, 'S'});
    EXPECT_EQ(readFileBytes(pageFile(0)), "saved from the dialog");
    pressKeys({VK_ESCAPE});
    EXPECT_EQ(findDialog(), nullptr) << "Esc closes it";
    command(IDM_FIND);
    SendMessageA(mainWindow, WM_CLOSE, 0, 0);
    EXPECT_EQ(findDialog(), nullptr) << "hiding the window closes it";
    command(IDM_OPEN);
    command(IDM_FIND);
    typeText(", and at the end");
    EXPECT_EQ(quit(), 0);
    EXPECT_EQ(readFileBytes(pageFile(0)), "saved from the dialog, and at the end");
}
