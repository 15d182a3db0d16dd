// moxtrel-cli: the window-free jobs of Moxtrel from a terminal.
int main() {
    return 2;
}
