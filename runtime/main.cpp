// Entry point of the show.
int main()
{
    return 0;
}
