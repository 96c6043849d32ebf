/* A library that the test modules need but never find: it is built into a folder of its own. */
int CarlumeAbsentLibrary(void);
int CarlumeAbsentLibrary(void)
{
    return 1;
}
