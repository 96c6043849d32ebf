// Exists only to be built as a shared library that carries a version note.
extern "C" int carlumeVersionProbe()
{
    return 1;
}
