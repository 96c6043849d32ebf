// A program that leaks on purpose, in a slot: a lambda connected to a button's clicked signal, so that
// Qt's signal machinery lies on the allocation's stack, as it does for every slot, event handler and test
// click. The leak check of the test runs must report these bytes.

#include <QApplication>
#include <QPushButton>

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
    QApplication application(argc, argv);
    QPushButton button;
    QObject::connect(&button, &QPushButton::clicked, &button, [] {
        gLeaked = new char[kLeakedBytes];
        gLeaked = nullptr;
    });
    button.click();
    ClearStack();
    return 0;
}
