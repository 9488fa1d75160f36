// A shared object for the loader tests: built twice, with different answers,
// so that a test can tell which build the loader handed it.
extern "C" __attribute__((visibility("default"))) int vesta_fixture_answer() {
    return VESTA_FIXTURE_ANSWER;
}
