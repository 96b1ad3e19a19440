int placeholder2() { return 0; }
