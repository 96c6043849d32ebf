// A program that leaks on purpose, in a slot: a lambda connected to a button's clicked signal, so that
// Qt's signal machinery lies on the allocation's stack, as it does for every slot, event handler and test
// click. The leak check of the test runs must report these bytes.

#include <QApplication>
#include <QPushButton>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include <unistd.h>

namespace {

constexpr int kLeakedBytes = 4711; // a size nothing else allocates, to find the report by
char* volatile gLeaked = nullptr;

// Overwrites what the click left on the stack below main, so that no stale copy of the pointer keeps the
// bytes reachable.
[[gnu::noinline]] void ClearStack()
{
    volatile char area[64 * 1024];
    for (volatile char& c : area)
        c = 0;
}

} // namespace

int main(int argc, char** argv)
{
    // Without a runtime folder Qt makes one in the temporary folder and leaves it there.
    std::string runtimeFolder;
    if (std::getenv("XDG_RUNTIME_DIR") == nullptr) {
        std::string pattern = (std::filesystem::temp_directory_path() / "carlume-xdg-XXXXXX").string();
        if (::mkdtemp(pattern.data()) != nullptr) {
            runtimeFolder = pattern;
            ::setenv("XDG_RUNTIME_DIR", pattern.c_str(), 1);
        }
    }
    {
        QApplication application(argc, argv);
        QPushButton button;
        QObject::connect(&button, &QPushButton::clicked, &button, [] {
            gLeaked = new char[kLeakedBytes];
            gLeaked = nullptr;
        });
        button.click();
        ClearStack();
    }
    std::error_code ec;
    std::filesystem::remove_all(runtimeFolder, ec);
    return 0;
}
