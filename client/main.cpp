// Placeholder until the demo client lands.
int main()
{
    return 0;
}
