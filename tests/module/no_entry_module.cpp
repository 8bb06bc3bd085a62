// A shared library without c4d_main, to check that the host refuses it cleanly.
extern "C" __attribute__((visibility("default"))) int not_an_entry_point() { return 0; }
