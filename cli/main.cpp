// Placeholder until implemented.
int main() { return 2; }
