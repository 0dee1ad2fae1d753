// A library that loads but has no export.
extern "C" int not_the_export() {
    return 0;
}
