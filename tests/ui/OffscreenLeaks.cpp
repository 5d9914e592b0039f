// Qt 5.15's offscreen platform plugin never frees its screen; LeakSanitizer
// would fail every window test at exit on that alone. Weak, so that a shared
// definition in the test main, should one appear, takes precedence.

extern "C" __attribute__((weak, used, visibility("default"))) const char *__lsan_default_suppressions()
{
    return "leak:libqoffscreen.so\n"
           "leak:QScreen::QScreen\n"
           "leak:QPlatformScreen::QPlatformScreen\n"
           "leak:QWindowSystemInterface::handleScreenAdded\n";
}
