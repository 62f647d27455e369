// Scenario runner placeholder.
int main() { return 0; }
