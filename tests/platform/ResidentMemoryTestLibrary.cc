// A library the resident-code test loads and unloads while the loaded code is read. (Not a .cpp:
// the test program does not link it.)
extern "C" int zepa_resident_code_test_value() {
    return 42;
}
