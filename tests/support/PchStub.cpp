// The owner of a precompiled header the tests share; it does nothing itself.
int main()
{
    return 0;
}
