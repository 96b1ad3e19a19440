int placeholder() { return 0; }
