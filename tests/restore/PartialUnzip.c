/* A decompression library that lacks most of its operations. */
int cwUnzip_Initialise(void) {
    return 0;
}
