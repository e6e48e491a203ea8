int probe() {
    return 0;
}
