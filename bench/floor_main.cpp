// The floor of the whole job: an empty static program that the floor script calls in Stamplet's
// place, so that a run's cost can be set against the process starts it cannot avoid.

int main() {
    return 0;
}
